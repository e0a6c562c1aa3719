#include "platform/linux/files/AppStreamMetainfo.h"
#include "fakes/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tintra {
namespace {

TEST(AppStreamMetainfo, TheFirstListedReleaseGivesTheVersionFromTheUsersFolderFirstAndUnderEitherName)
{
    TemporaryFolder user;
    TemporaryFolder system;
    std::filesystem::create_directories(user / "metainfo");
    std::filesystem::create_directories(system / "appdata");
    std::ofstream(user / "metainfo" / "org.example.Blocks.metainfo.xml")
        << "<?xml version=\"1.0\"?>\n<component type=\"desktop-application\"><id>org.example.Blocks</id>"
           "<description><p>Version 9 is not a release.</p></description>"
           "<releases><release version=\"2.1\" date=\"2026-05-01\"><description><p>New</p></description></release>"
           "<release version=\"2.0\"/></releases></component>";
    std::ofstream(system / "appdata" / "org.example.Blocks.appdata.xml") << "<component><releases><release version=\"1.0\"/></releases></component>";
    std::ofstream(system / "appdata" / "org.example.Old.appdata.xml") << "<component><releases><release version=\"0.9\"/></releases></component>";
    std::ofstream(system / "appdata" / "org.example.Unreleased.appdata.xml") << "<component><name>Unreleased</name></component>";

    EXPECT_EQ(metainfoVersion("org.example.Blocks", { user.path(), system.path() }), "2.1");
    EXPECT_EQ(metainfoVersion("org.example.Old", { user.path(), system.path() }), "0.9");
    EXPECT_EQ(metainfoVersion("org.example.Unreleased", { user.path(), system.path() }), std::nullopt);
    EXPECT_EQ(metainfoVersion("org.example.Missing", { user.path(), system.path() }), std::nullopt);
}

} // namespace
} // namespace tintra

#include "app/Relocation.h"

#include "fakes/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace tintra {
namespace {

namespace fs = std::filesystem;

void write(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

std::string read(const fs::path& file)
{
    std::ifstream in(file);
    return { std::istreambuf_iterator<char>(in), {} };
}

struct RelocationTest : ::testing::Test {
    TemporaryFolder folder;
    fs::path image = folder.path() / "image" / "Tintra Dorvel.AppDir";
    fs::path applications = folder.path() / "home" / "Applications";
    TintraBundleLocation location = TintraBundleLocation::diskImage;
    std::vector<TintraRelocationAlert> alerts;
    bool answer = true;
    std::vector<fs::path> launched;
    int quits = 0;

    TintraRelocation relocation { { applications, folder.path() / "home" / ".local" / "share" },
        { .ask = [this](const TintraRelocationAlert& alert) { alerts.push_back(alert); return answer; },
            .activate = [] {},
            .launch = [this](const fs::path& copy) -> tl::expected<void, std::string> {
                launched.push_back(copy);
                return {};
            },
            .quit = [this] { ++quits; } },
        [this](const fs::path&) { return location; } };

    void SetUp() override
    {
        write(image / "bin" / "tintra-dorvel", "new");
        fs::create_directories(applications.parent_path());
    }
};

TEST_F(RelocationTest, FromADiskImageItAsksToCopyAndQuittingLeavesEverythingAsItWas)
{
    answer = false;
    EXPECT_TRUE(relocation.relocateIfNeeded(false, image, {}));

    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, "Copy Tintra Dorvel to " + applications.string() + "?");
    EXPECT_EQ(alerts[0].buttons, (std::vector<std::string> { "Copy to Applications Folder", "Quit" }));
    EXPECT_EQ(alerts[0].informativeText,
        "Tintra Dorvel is running from a disk image. It cannot work from there. The permissions it needs are granted "
        "to an app where it stands, and this copy is not staying: it cannot be opened at login, it cannot check for "
        "updates, and it quits as soon as the image is ejected.\n\nCopying it to "
            + applications.string() + " and relaunching from there fixes all of it. The copy you opened is left where it is.");
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(launched.empty());
    EXPECT_FALSE(fs::exists(applications / "Tintra Dorvel.AppDir"));

    // A caller that may run in place goes on instead of quitting.
    alerts.clear();
    EXPECT_FALSE(relocation.relocateIfNeeded(true, image, {}));
    EXPECT_EQ(alerts.at(0).buttons.at(1), "Not Now");
    EXPECT_EQ(quits, 1);
}

TEST_F(RelocationTest, ACopyAlreadyThereIsReplacedAndTheNewOneStarted)
{
    write(applications / "Tintra Dorvel.AppDir" / "bin" / "tintra-dorvel", "old");
    write(applications / "Tintra Dorvel.AppDir" / "stale", "from the old copy");

    EXPECT_TRUE(relocation.relocateIfNeeded(false, image, {}));

    const auto copy = applications / "Tintra Dorvel.AppDir";
    EXPECT_EQ(read(copy / "bin" / "tintra-dorvel"), "new");
    EXPECT_FALSE(fs::exists(copy / "stale"));
    EXPECT_EQ(launched, std::vector<fs::path> { copy });
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(applications), fs::directory_iterator()), 1) << "no staging left";
    EXPECT_EQ(read(image / "bin" / "tintra-dorvel"), "new") << "the opened copy stays";
}

TEST_F(RelocationTest, AFailedCopyOrStartIsShownAndEndsInQuitting)
{
    fs::remove_all(image);
    EXPECT_TRUE(relocation.relocateIfNeeded(false, image, {}));
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[1].message, "\u201CTintra Dorvel\u201D could not be copied to " + applications.string() + ".");
    EXPECT_FALSE(alerts[1].informativeText.empty());
    EXPECT_EQ(quits, 1);
}

TEST_F(RelocationTest, ATestRunOrAnAcceptablePlaceNeverRelocates)
{
    EXPECT_FALSE(relocation.relocateIfNeeded(false, image, { { "XCTestConfigurationFilePath", "x" } }));
    location = TintraBundleLocation::acceptable;
    EXPECT_FALSE(relocation.relocateIfNeeded(false, image, {}));
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(quits, 0);
}

} // namespace
} // namespace tintra

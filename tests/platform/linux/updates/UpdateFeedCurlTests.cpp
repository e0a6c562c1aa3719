#include "fakes/DefaultsMemory.h"
#include "fakes/ManualExecutor.h"
#include "fakes/TemporaryFolder.h"
#include "fakes/UpdaterFakes.h"
#include "platform/linux/updates/AppcastXml.h"
#include "platform/linux/updates/LoopbackHttpServer.h"
#include "platform/linux/updates/UpdateFeedCurl.h"
#include "platform/linux/updates/UpdateSigningKey.h"
#include "shell/PellUpdater.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tintra {
namespace {

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A release signed with a key made for the test, served with its feed from 127.0.0.1.
class UpdateFeedCurlTest : public ::testing::Test {
protected:
    void SetUp() override { server.put("/TintraDorvel-0.2.0-x86_64.AppImage", release); }

    std::string signatureOf(const std::string& content) const { return key.signatureOf(content); }
    std::string publicKey() const { return key.publicKey(); }

    TintraAppcastItem item(const std::string& signature) const
    {
        return { .version = "0.2.0", .displayVersion = "0.2.0",
            .fileURL = server.url("/TintraDorvel-0.2.0-x86_64.AppImage"), .fileLength = release.size(),
            .edSignature = signature };
    }

    UpdateFeed::Download download(UpdateFeedCurl& feed, const TintraAppcastItem& item)
    {
        std::optional<UpdateFeed::Download> placed;
        feed.download(item, folder.path(), [&placed](UpdateFeed::Download result) { placed = std::move(result); });
        while (!placed && executor.waitForPost(std::chrono::seconds(10)))
            executor.runPending();
        return placed.value_or(tl::unexpected(std::string("no answer")));
    }

    const std::string release = "#!/bin/sh\necho the next version\n";
    LoopbackHttpServer server;
    TemporaryFolder folder;
    ManualClock clock;
    ManualExecutor executor { clock };
    UpdateSigningKey key;
};

TEST_F(UpdateFeedCurlTest, ASignedReleaseIsPlacedUnderAFreeNameAndATamperedOneNever)
{
    UpdateFeedCurl feed(executor, server.url("/appcast.xml"), publicKey());

    const auto first = download(feed, item(signatureOf(release)));
    ASSERT_TRUE(first) << first.error();
    EXPECT_EQ(first->filename(), "TintraDorvel-0.2.0-x86_64.AppImage");
    EXPECT_EQ(fileText(*first), release);
    EXPECT_NE(std::filesystem::status(*first).permissions() & std::filesystem::perms::owner_exec,
        std::filesystem::perms::none);
    // The first download is the user's now: a second one goes beside it.
    const auto second = download(feed, item(signatureOf(release)));
    ASSERT_TRUE(second) << second.error();
    EXPECT_EQ(second->filename(), "TintraDorvel-0.2.0-x86_64 (2).AppImage");

    const auto forged = download(feed, item(signatureOf(release + "and something else\n")));
    ASSERT_FALSE(forged);
    EXPECT_EQ(forged.error(), "The update's signature does not match the file, so the file was not kept.");
    server.put("/TintraDorvel-0.2.0-x86_64.AppImage", "#!/bin/sh\nrm -rf ~\necho the next version\n");
    auto tampered = item(signatureOf(release));
    tampered.fileLength = 0;
    EXPECT_FALSE(download(feed, tampered));
    EXPECT_FALSE(download(feed, item("")));
    // Nothing half-written or refused is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}

TEST_F(UpdateFeedCurlTest, TheUpdaterOverTheFeedOffersOnlyANewerItemOfItsChannels)
{
    const std::string appcast = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
  <channel>
    <title>Tintra Dorvel</title>
    <item>
      <title>Version 0.2.0</title>
      <sparkle:version>0.2.0</sparkle:version>
      <description><![CDATA[<h2>Quieter &amp; faster</h2>]]></description>
      <enclosure url="https://example/0.2.0.AppImage" length="1234" type="application/octet-stream"
        sparkle:edSignature="c2lnbmF0dXJl"/>
    </item>
    <item>
      <title>Version 0.3.0 beta 1</title>
      <sparkle:channel>beta</sparkle:channel>
      <enclosure url="https://example/0.3.0b1.AppImage" sparkle:version="0.3.0b1" sparkle:shortVersionString="0.3 Beta 1"/>
    </item>
    <item>
      <title>Version 9 for another system</title>
      <enclosure url="https://example/9.dmg" sparkle:version="9" sparkle:os="macos"/>
    </item>
  </channel>
</rss>)";
    server.put("/appcast.xml", appcast);
    UpdateFeedCurl feed(executor, server.url("/appcast.xml"), publicKey());
    UpdateUserDriverFake driver;
    UserNotificationsFake notifications;
    DefaultsMemory defaults;
    const auto answer = [&](const std::string& version) {
        PellUpdater updater(feed, driver, notifications, defaults, executor, clock,
            { .version = version, .feedURL = server.url("/appcast.xml"), .publicEDKey = publicKey() });
        updater.start();
        driver.shown.clear();
        updater.checkForUpdates();
        while (driver.shown.empty() && executor.waitForPost(std::chrono::seconds(10)))
            executor.runPending();
        return driver.shown.empty() ? "no answer" : driver.shown.front();
    };
    EXPECT_EQ(answer("0.1.0"), "update 0.2.0");
    EXPECT_EQ(answer("0.2.0"), "up to date");
    EXPECT_EQ(answer("0.3"), "up to date");
    EXPECT_EQ(answer("0.3.0a1"), "update 0.3 Beta 1");

    const auto items = parseAppcast(appcast);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 3u);
    EXPECT_EQ(items->front().releaseNotesHTML, "<h2>Quieter &amp; faster</h2>");
    EXPECT_EQ(items->front().fileLength, 1234u);
    EXPECT_EQ(items->front().edSignature, "c2lnbmF0dXJl");
    EXPECT_TRUE(items->back().fileURL.empty());
}

TEST_F(UpdateFeedCurlTest, AFeedThatCannotBeReadSaysWhy)
{
    server.put("/broken.xml", "<rss><channel><item></channel></rss>");
    const auto fetch = [this](const std::string& url) {
        UpdateFeedCurl feed(executor, url, publicKey());
        std::optional<UpdateFeed::Items> items;
        feed.fetchItems([&items](UpdateFeed::Items result) { items = std::move(result); });
        while (!items && executor.waitForPost(std::chrono::seconds(10)))
            executor.runPending();
        return items && !*items ? items->error() : std::string();
    };
    EXPECT_NE(fetch(server.url("/missing.xml")).find("404"), std::string::npos);
    EXPECT_NE(fetch(server.url("/broken.xml")).find("not a readable appcast"), std::string::npos);
    EXPECT_NE(fetch("http://updates.example/appcast.xml").find("only HTTPS"), std::string::npos);
}

} // namespace
} // namespace tintra

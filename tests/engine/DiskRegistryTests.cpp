#include "engine/DiskEvents.h"
#include "engine/DiskRegistry.h"

#include "fakes/DiskArbitrationFake.h"
#include "fakes/ManualClock.h"

#include <gtest/gtest.h>

#include <string>

namespace tintra {
namespace {

using Key = DADiskDescriptionKey;

DADiskDescription facts(const std::string& name, const std::string& device)
{
    return {
        { Key::volumeName, name },
        { Key::mediaBSDName, device },
        { Key::volumeKind, std::string("vfat") },
    };
}

class DiskRegistryTest : public ::testing::Test {
protected:
    DiskArbitrationFake service;
    TintraDiskRegistry registry { service };
    ManualClock clock;

    std::optional<TintraEvent> mount(const std::filesystem::path& url, std::optional<std::string> name = std::nullopt)
    {
        return volumeDidMount(registry, { url, std::move(name) }, clock.now());
    }
    std::optional<TintraEvent> unmount(const std::filesystem::path& url, std::optional<std::string> name = std::nullopt)
    {
        return volumeDidUnmount(registry, { url, std::move(name) }, clock.now());
    }
};

TEST(VolumePath, StandardizesAndDropsOneTrailingSlash)
{
    EXPECT_EQ(volumePath("/Volumes/Data/"), "/Volumes/Data");
    EXPECT_EQ(volumePath("/Volumes/Data"), "/Volumes/Data");
    EXPECT_EQ(volumePath("/Volumes/./Other/../Data/"), "/Volumes/Data");
    EXPECT_EQ(volumePath("/"), "/");
}

TEST_F(DiskRegistryTest, AnEjectCarriesTheDescriptionTakenAtMount)
{
    service.mount("/media/stick/", facts("STICK", "sdb1"));
    const auto mounted = registry.describe(std::filesystem::path("/media/stick/"));
    ASSERT_TRUE(mounted);
    EXPECT_EQ(mounted->summary, "sdb1 · vfat");

    service.unmount("/media/stick");
    EXPECT_EQ(registry.takeDescription(std::filesystem::path("/media/stick")), mounted);
    EXPECT_TRUE(registry.descriptions().empty());
    EXPECT_TRUE(registry.order().empty());
    // Taken once: the volume has gone and nothing else knows it.
    EXPECT_EQ(registry.takeDescription(std::filesystem::path("/media/stick")), std::nullopt);
}

TEST_F(DiskRegistryTest, AnUnregisteredEjectAsksTheServiceWithoutRegistering)
{
    service.mount("/media/card", facts("CARD", "mmcblk0p1"));
    const auto taken = registry.takeDescription(std::filesystem::path("/media/card"));
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->volumeName, "CARD");
    EXPECT_TRUE(registry.descriptions().empty());
}

TEST_F(DiskRegistryTest, NothingWithoutALocationOrWithoutFields)
{
    EXPECT_EQ(registry.describe(std::nullopt), std::nullopt);
    EXPECT_EQ(registry.takeDescription(std::nullopt), std::nullopt);
    EXPECT_EQ(service.descriptionRequests(), 0);

    service.mount("/media/blank", { { Key::volumeName, std::string("  ") }, { Key::mediaSize, std::string("big") } });
    EXPECT_EQ(registry.describe(std::filesystem::path("/media/blank")), std::nullopt);
    EXPECT_EQ(registry.describe(std::filesystem::path("/media/unknown")), std::nullopt);
    EXPECT_TRUE(registry.descriptions().empty());
}

TEST_F(DiskRegistryTest, The65thVolumeEvictsTheOldest)
{
    for (int i = 0; i <= 64; ++i) {
        const auto url = "/media/disk" + std::to_string(i);
        service.mount(url, facts("DISK" + std::to_string(i), "sd" + std::to_string(i)));
        registry.describe(std::filesystem::path(url));
        service.unmount(url);
    }
    EXPECT_EQ(registry.descriptions().size(), 64u);
    EXPECT_EQ(registry.order().front(), "/media/disk1");
    EXPECT_EQ(registry.takeDescription(std::filesystem::path("/media/disk0")), std::nullopt);
    EXPECT_EQ(registry.takeDescription(std::filesystem::path("/media/disk1"))->volumeName, "DISK1");
}

TEST_F(DiskRegistryTest, AVolumeDescribedTwiceTakesOnePlace)
{
    service.mount("/media/twice", facts("TWICE", "sdz"));
    registry.describe(std::filesystem::path("/media/twice/"));
    registry.describe(std::filesystem::path("/media/twice"));
    for (int i = 0; i < 63; ++i) {
        const auto url = "/media/other" + std::to_string(i);
        service.mount(url, facts("OTHER", "sd" + std::to_string(i)));
        registry.describe(std::filesystem::path(url));
    }
    EXPECT_EQ(registry.order().size(), 64u);
    EXPECT_TRUE(registry.descriptions().contains("/media/twice"));
}

TEST_F(DiskRegistryTest, TheHookIsAskedBeforeTheService)
{
    TintraDiskDescription fromHook { "HOOKED", "from the hook", { { "Volume name", "HOOKED" } } };
    std::vector<std::filesystem::path> asked;
    registry.describeHook = [&](const std::filesystem::path& url) -> std::optional<TintraDiskDescription> {
        asked.push_back(url);
        if (url == "/media/hooked")
            return fromHook;
        if (url == "/media/empty")
            return TintraDiskDescription { "EMPTY", "no facts", {} };
        return std::nullopt;
    };
    service.mount("/media/hooked", facts("SERVICE", "sda"));
    service.mount("/media/plain", facts("PLAIN", "sdb"));
    service.mount("/media/empty", facts("EMPTY", "sdc"));

    EXPECT_EQ(registry.describe(std::filesystem::path("/media/hooked")), fromHook);
    EXPECT_EQ(registry.describe(std::filesystem::path("/media/plain"))->volumeName, "PLAIN");
    // A description without fields is nothing, even when the service knows more.
    EXPECT_EQ(registry.describe(std::filesystem::path("/media/empty")), std::nullopt);
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(service.descriptionRequests(), 1);
}

TEST_F(DiskRegistryTest, RegistersEveryMountedVolumeThatHasFacts)
{
    service.mount("/", facts("Root", "nvme0n1p2"));
    service.mount("/media/usb/", facts("USB", "sdb1"));
    service.mount("/media/bare", {});
    registry.registerMountedVolumes();
    EXPECT_EQ(registry.order(), (std::deque<std::string> { "/", "/media/usb" }));

    service.unmount("/media/usb");
    EXPECT_EQ(unmount("/media/usb")->disk->volumeName, "USB");
}

TEST_F(DiskRegistryTest, MountAndEjectEvents)
{
    service.mount("/media/stick", facts("STICK", "sdb1"));
    const auto mounted = mount("/media/stick", "Holiday Photos");
    ASSERT_TRUE(mounted);
    EXPECT_EQ(mounted->notificationName, "Disk Mounted");
    EXPECT_EQ(mounted->soundID, TintraSoundID("dski"));
    EXPECT_EQ(mounted->processIdentifier, 0);
    EXPECT_EQ(mounted->applicationName, "Holiday Photos");
    EXPECT_EQ(mounted->detail, "Holiday Photos");
    EXPECT_EQ(mounted->date, clock.now());
    EXPECT_EQ(mounted->origin, TintraEventOrigin::system);
    EXPECT_FALSE(mounted->element);
    EXPECT_FALSE(mounted->application);
    EXPECT_FALSE(mounted->pan);
    ASSERT_TRUE(mounted->disk);
    EXPECT_EQ(mounted->disk->volumeName, "STICK");

    service.unmount("/media/stick");
    clock.advance(seconds(30));
    const auto ejected = unmount("/media/stick", "Holiday Photos");
    ASSERT_TRUE(ejected);
    EXPECT_EQ(ejected->notificationName, "Disk Ejected");
    EXPECT_EQ(ejected->soundID, TintraSoundID("dske"));
    EXPECT_EQ(ejected->date, clock.now());
    EXPECT_EQ(ejected->origin, TintraEventOrigin::system);
    EXPECT_EQ(ejected->disk, mounted->disk);
}

TEST_F(DiskRegistryTest, TheEventNamesTheVolumeByNotificationThenPathThenDescription)
{
    service.mount("/media/KINGSTON", facts("KINGSTON_32", "sdc1"));
    EXPECT_EQ(mount("/media/KINGSTON", "")->applicationName, "KINGSTON");

    service.mount("/", facts("Root", "nvme0n1p2"));
    const auto root = mount("/");
    EXPECT_EQ(root->applicationName, "Root");
    EXPECT_EQ(root->detail, "Root");

    const auto nameless = volumeDidMount(registry, { std::nullopt, std::nullopt }, clock.now());
    ASSERT_TRUE(nameless);
    EXPECT_EQ(nameless->applicationName, std::nullopt);
    EXPECT_EQ(nameless->disk, std::nullopt);
}

TEST_F(DiskRegistryTest, AnUndescribableVolumeStillMakesItsSound)
{
    service.mount("/media/stick", facts("STICK", "sdb1"));
    service.setReachable(false);
    const auto mounted = mount("/media/stick");
    ASSERT_TRUE(mounted);
    EXPECT_EQ(mounted->applicationName, "stick");
    EXPECT_EQ(mounted->disk, std::nullopt);
    EXPECT_TRUE(unmount("/media/stick"));
}

TEST_F(DiskRegistryTest, LocalSnapshotMountsAreIgnored)
{
    const std::filesystem::path snapshot = "/Volumes/com.apple.TimeMachine.localsnapshots/Backups.backupdb/Mac/2026-01-01-000000";
    service.mount(snapshot, facts("Mac", "disk3s5"));
    EXPECT_EQ(mount(snapshot, "Mac"), std::nullopt);
    EXPECT_EQ(unmount(snapshot, "Mac"), std::nullopt);
    EXPECT_EQ(mount("/Volumes/./com.apple.TimeMachine.localsnapshots/Other"), std::nullopt);
    EXPECT_EQ(service.descriptionRequests(), 0);
    EXPECT_TRUE(registry.descriptions().empty());

    EXPECT_TRUE(mount("/Volumes/com.apple.TimeMachine.localsnapshots.d/Other"));
}

} // namespace
} // namespace tintra

#include "engine/SoundSetTransfers.h"
#include "fakes/DefaultsMemory.h"
#include "fakes/FileBookmarksFake.h"
#include "fakes/ManualExecutor.h"
#include "fakes/SoundTypeRegistryFake.h"
#include "soundsets/Assignments.h"
#include "soundsets/ClassicFileWriter.h"
#include "soundsets/Library.h"
#include "fakes/SoundSetFiles.h"
#include "support/BackgroundExecutor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace tintra {
namespace {

namespace fs = std::filesystem;
using namespace tintra::testing;

constexpr std::uint32_t rate22k = 0x56EE8BA3;

// Points the platform's temporary folder into the test's own, so that what
// the transfers leave behind there can be seen.
class ScopedTemporaryDirectory {
public:
    explicit ScopedTemporaryDirectory(const fs::path& folder)
    {
        if (const char* saved = std::getenv("TMPDIR"))
            saved_ = saved;
        fs::create_directories(folder);
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~ScopedTemporaryDirectory()
    {
        if (saved_)
            ::setenv("TMPDIR", saved_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

private:
    std::optional<std::string> saved_;
};

class SoundSetTransfersTest : public ::testing::Test {
protected:
    fs::path writeClassicFile(const std::string& name, bool decodable = true)
    {
        const auto header = decodable ? standardHeader(Bytes(200, 0x90), rate22k)
                                      : compressedHeader("ima4", 1, 64, rate22k, Bytes(34, 0));
        const auto fork = resourceFork({ { "snd ", 1, "mnuo", soundFormat2(header) } });
        const auto file = folder.path() / "drop" / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(fork.data()), std::streamsize(fork.size()));
        return file;
    }

    // Runs the main thread until the background hands nothing more back.
    void settle()
    {
        main.runPending();
        while (transfers.isImportingSets().get() || transfers.isExportingSet().get()) {
            ASSERT_TRUE(main.waitForPost(std::chrono::seconds(10))) << "the background never answered";
            main.runPending();
        }
    }

    std::vector<std::string> identifiers() const
    {
        std::vector<std::string> found;
        for (const auto& bundle : library.bundles().get())
            found.push_back(bundle.metadata().identifier);
        return found;
    }

    bool temporaryFolderIsEmpty() const { return fs::is_empty(folder.path() / "tmp"); }

    TemporaryFolder folder;
    ScopedTemporaryDirectory temporaryDirectory { folder.path() / "tmp" };
    SoundTypeRegistryFake registry;
    DefaultsMemory defaults;
    FileBookmarksFake bookmarks;
    TintraLibrary library { folder.path() / "Library", std::nullopt, registry };
    TintraAssignments assignments { defaults, bookmarks, registry };
    ManualClock clock;
    ManualExecutor main { clock };
    BackgroundExecutor background { main };
    int installs = 0;
    TintraSoundSetTransfers transfers { library, assignments, main, background, [this] { ++installs; } };
};

TEST_F(SoundSetTransfersTest, ImportsClassicFilesAndFoldersInOrderAndChoosesABaseline)
{
    const auto folderSet = folder.path() / "drop" / "Folder Set.tintraset";
    writeBundle(folderSet, "org.example.folder", "Folder Set", { "MenuOpen.wav" });
    std::vector<int> progress;
    const auto watching = transfers.setsImported().subscribe([&](int count) { progress.push_back(count); });

    transfers.importSets({ writeClassicFile("Platinum"), folderSet });
    EXPECT_TRUE(transfers.isImportingSets().get());
    EXPECT_EQ(transfers.setsToImport().get(), 2);
    settle();

    EXPECT_EQ(progress, (std::vector<int> { 1, 2 }));
    EXPECT_EQ(transfers.lastImportSummaries().get(),
        (std::vector<TintraClassicImportSummary> { { "Platinum", 1, 0, 1 } }));
    EXPECT_EQ(transfers.lastFailureDescription().get(), std::nullopt);
    EXPECT_EQ(identifiers(),
        (std::vector<std::string> { "org.example.folder", TINTRA_MAKER_PREFIX ".tintraset.imported.platinum" }));
    EXPECT_EQ(assignments.baselineIdentifier().get(), "org.example.folder");
    EXPECT_EQ(installs, 1);
    EXPECT_TRUE(temporaryFolderIsEmpty());
}

TEST_F(SoundSetTransfersTest, FailuresAreCountedAndTheFirstOneIsTold)
{
    assignments.setBaselineIdentifier("org.example.chosen");
    transfers.importSets({ writeClassicFile("Hi-Tech", false), writeClassicFile("Gadget"), folder.path() / "Gone" });
    settle();

    EXPECT_EQ(transfers.setsImported().get(), 3);
    EXPECT_EQ(transfers.lastFailureDescription().get(),
        "2 of 3 could not be imported. Nothing in Hi-Tech could be decoded into audio");
    EXPECT_EQ(transfers.lastImportSummaries().get().size(), 1u);
    EXPECT_EQ(assignments.baselineIdentifier().get(), "org.example.chosen");
    EXPECT_TRUE(temporaryFolderIsEmpty());

    transfers.importSets({ writeClassicFile("Sonata", false) });
    settle();
    EXPECT_EQ(transfers.lastFailureDescription().get(), "Nothing in Sonata could be decoded into audio");
    EXPECT_TRUE(transfers.lastImportSummaries().get().empty());
}

TEST_F(SoundSetTransfersTest, ANewImportCancelsTheRunningOne)
{
    transfers.importSets({ writeClassicFile("First"), writeClassicFile("Second") });
    transfers.importSets({ writeClassicFile("Third") });
    settle();
    // Give a late answer of the cancelled import the chance to arrive.
    main.waitForPost(std::chrono::milliseconds(200));
    main.runPending();

    EXPECT_EQ(identifiers(), (std::vector<std::string> { TINTRA_MAKER_PREFIX ".tintraset.imported.third" }));
    EXPECT_EQ(transfers.setsImported().get(), 1);
    EXPECT_EQ(transfers.setsToImport().get(), 1);
    EXPECT_EQ(transfers.lastImportSummaries().get().size(), 1u);
    EXPECT_FALSE(transfers.isImportingSets().get());
    EXPECT_TRUE(temporaryFolderIsEmpty());
}

TEST_F(SoundSetTransfersTest, ExportsWhatPlaysAndClearsTheLastImport)
{
    transfers.exportSet(folder.path() / "Out.tintraset");
    EXPECT_EQ(transfers.lastFailureDescription().get(), "No event has a sound to export");
    EXPECT_FALSE(transfers.isExportingSet().get());

    transfers.importSets({ writeClassicFile("Platinum") });
    settle();
    ASSERT_FALSE(transfers.lastImportSummaries().get().empty());

    transfers.exportSet(folder.path() / "Out.tintraset");
    EXPECT_TRUE(transfers.isExportingSet().get());
    EXPECT_TRUE(transfers.lastImportSummaries().get().empty());
    settle();
    ASSERT_TRUE(transfers.lastExportSummary().get());
    EXPECT_EQ(transfers.lastExportSummary().get()->name, "Out");
    EXPECT_EQ(transfers.lastExportSummary().get()->eventCount, 1);
    EXPECT_TRUE(fs::exists(folder.path() / "Out.tintraset" / "Contents" / "Resources" / "MenuOpen.caf"));
    EXPECT_EQ(transfers.lastFailureDescription().get(), std::nullopt);
}

TEST_F(SoundSetTransfersTest, AFailedExportIsToldAndPrinted)
{
    transfers.importSets({ writeClassicFile("Platinum") });
    settle();
    std::ofstream(folder.path() / "NotAFolder") << "file";

    ::testing::internal::CaptureStdout();
    transfers.exportSet(folder.path() / "NotAFolder" / "Out.tintraset");
    settle();
    const auto printed = ::testing::internal::GetCapturedStdout();

    ASSERT_TRUE(transfers.lastFailureDescription().get());
    EXPECT_EQ(printed, "TintraController: " + *transfers.lastFailureDescription().get() + "\n");
    EXPECT_EQ(transfers.lastExportSummary().get(), std::nullopt);
    EXPECT_FALSE(transfers.isExportingSet().get());
}

} // namespace
} // namespace tintra

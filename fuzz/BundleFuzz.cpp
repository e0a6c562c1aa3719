// Arbitrary bytes as the Contents/Info.plist of a bundle whose resources hold
// a few sound files: loading must answer a bundle or an error, never crash.
#include "fakes/TemporaryFolder.h"
#include "platform/linux/files/SoundTypeRegistryLinux.h"
#include "soundsets/Bundle.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const fs::path& bundleFolder()
{
    static const tintra::TemporaryFolder root;
    static const fs::path folder = [] {
        const fs::path bundle = root.path() / "Fuzz.tintraset";
        fs::create_directories(bundle / "Contents" / "Resources");
        for (const char* name : { "MenuOpen.aiff", "menuopen.wav", "x.aiff", "Whatever.caf", "Readme.txt" })
            std::fclose(std::fopen((bundle / "Contents" / "Resources" / name).c_str(), "wb"));
        return bundle;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const tintra::SoundTypeRegistryLinux registry;
    const fs::path& bundle = bundleFolder();
    std::FILE* file = std::fopen((bundle / "Contents" / "Info.plist").c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    const auto loaded = tintra::loadBundle(bundle, false, registry);
    if (loaded) {
        if (loaded->metadata().identifier.empty())
            std::abort();
        for (const auto& [soundID, url] : loaded->soundURLsByID())
            if (url.parent_path() != bundle / "Contents" / "Resources")
                std::abort();
    } else if (loaded.error().description().empty()) {
        std::abort();
    }
    return 0;
}

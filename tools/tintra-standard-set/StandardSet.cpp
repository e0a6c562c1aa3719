#include "StandardSet.h"

#include "Levels.h"
#include "SoundDesign.h"

#include "catalogue/Catalogue.h"
#include "soundsets/Bundle.h"

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace tintra::standardset {
namespace {

namespace fs = std::filesystem;

StandardSetError unwritable(const fs::path& url, std::string detail)
{
    return { StandardSetError::Case::unwritable, url, std::move(detail) };
}

tl::expected<void, StandardSetError> writeWav(const fs::path& url, const std::vector<std::int16_t>& samples)
{
    // Plain WAV carries no date or software chunk, so the bytes depend on the samples alone.
    SF_INFO info {};
    info.samplerate = kSampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open(url.c_str(), SFM_WRITE, &info), sf_close);
    if (!file)
        return tl::unexpected(unwritable(url, sf_strerror(nullptr)));
    if (sf_write_short(file.get(), samples.data(), sf_count_t(samples.size())) != sf_count_t(samples.size()))
        return tl::unexpected(unwritable(url, sf_strerror(file.get())));
    if (sf_close(file.release()) != 0)
        return tl::unexpected(unwritable(url, "could not finish the file"));
    return {};
}

// The finished sound of a listed event: 16-bit mono at kSampleRate.
tl::expected<std::vector<std::int16_t>, StandardSetError> standardSound(const TintraSetEntry& entry)
{
    const auto recipe = recipeFor(entry);
    if (!recipe)
        return tl::unexpected(StandardSetError { StandardSetError::Case::noDesign, {}, std::string(entry.fileName) });
    const auto raw = renderRecipe(*recipe, entry.soundID.rawValue);
    return toPcm16(leveled(raw, entry.category, recipe->role));
}

} // namespace

std::string StandardSetError::description() const
{
    const auto name = url.filename().string();
    switch (kind) {
    case Case::notABundleName:
        return name + " does not end in .tintraset";
    case Case::noDesign:
        return "No sound is designed for " + detail;
    case Case::unwritable:
        return "Could not write " + name + ": " + detail;
    }
    return name;
}

std::string standardFileName(const TintraSetEntry& entry)
{
    return fs::path(entry.fileName).replace_extension(".wav").string();
}

tl::expected<void, StandardSetError> writeStandardSet(const fs::path& bundle)
{
    if (bundle.extension() != ".tintraset")
        return tl::unexpected(StandardSetError { StandardSetError::Case::notABundleName, bundle, {} });
    // Nothing of an earlier design may stay behind.
    std::error_code error;
    if (fs::remove_all(bundle, error); error)
        return tl::unexpected(unwritable(bundle, error.message()));
    const TintraBundleMetadata metadata {
        .identifier = kStandardSetIdentifier, .name = kStandardSetName, .author = "Tintra Dorvel" };
    if (auto skeleton = writeBundleSkeleton(bundle, metadata); !skeleton)
        return tl::unexpected(unwritable(bundle, skeleton.error().description()));
    const auto resources = bundle / "Contents" / "Resources";
    for (const auto& entry : listedCatalogue()) {
        auto written = standardSound(entry).and_then(
            [&](const auto& sound) { return writeWav(resources / standardFileName(entry), sound); });
        if (!written) {
            // A half-written set would load as a whole one with sounds missing.
            fs::remove_all(bundle, error);
            return written;
        }
    }
    return {};
}

} // namespace tintra::standardset

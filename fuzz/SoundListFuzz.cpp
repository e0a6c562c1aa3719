#include "soundsets/ClassicSoundSet.h"

#include <cstdlib>
#include <span>

// Sound lists and version resources on any bytes; the slot chooser only ever
// picks a slot whose sound is present.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tintra;
    const std::span<const std::uint8_t> bytes(data, size);
    const auto entries = parseSoundList(bytes);
    if (entries.size() * 8 > size)
        std::abort();
    std::map<std::int16_t, Bytes> bodies;
    for (std::size_t i = 0; i + 1 < size && i < 64; i += 2)
        bodies[std::int16_t(data[i] << 8 | data[i + 1])] = { 1 };
    for (const auto& entry : entries) {
        const auto chosen = chooseSlot(entry, bodies);
        if (chosen && !bodies.contains(*chosen))
            std::abort();
    }
    readVersionResource({ TintraRawResource { 1, std::nullopt, Bytes(bytes.begin(), bytes.end()) } });
    return 0;
}

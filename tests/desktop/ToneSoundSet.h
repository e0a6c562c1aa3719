#pragma once

#include "PrivatePulseServer.h"
#include "catalogue/SoundID.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tintra::testing {

// A sound set in which every listed event has a tone of its own (a distinct
// frequency per sound code, 0.15 s at amplitude 0.3), so that a recording of
// the sink says which events sounded, when, and on which channel.
inline constexpr double toneSeconds = 0.15;
double toneFrequency(TintraSoundID sound);
// Writes IDENTIFIER.tintraset into `folder`; its path.
std::filesystem::path writeToneSoundSet(const std::filesystem::path& folder, const std::string& identifier);
// The user the program meets in a test: the tone set in the user library, chosen in the settings
// file with sounds switched on, and past the launches that show the beta notice.
void prepareToneUser();

struct HeardTone {
    TintraSoundID sound;
    std::chrono::steady_clock::time_point start; // when the first loud stretch of it arrived
    double left = 0;                             // mean tone level in each channel
    double right = 0;
};
// The tones of the set heard in a recording, in the order they began.
std::vector<HeardTone> heardTones(const std::vector<SinkRecorder::Chunk>& chunks);

} // namespace tintra::testing

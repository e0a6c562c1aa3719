#pragma once

#include "Synth.h"

#include "catalogue/SetEntry.h"

#include <optional>
#include <string_view>
#include <variant>
#include <vector>

namespace tintra::standardset {

// Sounds of one category and role share a loudness; soft ticks and drag beds
// sit below the sounds that mark an action.
enum class SoundRole { main, soft, loop };

struct PlacedLayer {
    std::variant<Tone, Noise> layer;
    double at = 0.0; // seconds from the start (of the period, for a loop)
};

// The steady part of a loop: noise that swells a whole number of times per
// period, with an optional hum that fits the period exactly.
struct LoopBed {
    double centre = 1000.0;
    double q = 1.0;
    int swells = 1;
    double swellDepth = 0.0; // 0 steady, 1 silent at the troughs
    double humHz = 0.0; // none when zero
    double humGain = 0.0;
    double gain = 1.0; // of the noise
};

struct SoundRecipe {
    SoundRole role = SoundRole::main;
    std::vector<PlacedLayer> layers;
    // Loops only: the period, and the bed under the layers.
    double loopPeriod = 0.0;
    std::optional<LoopBed> bed;

    bool isLoop() const { return loopPeriod > 0.0; }
};

// How a control sounds for every action on it; each kind of control has its own.
struct ControlVoice {
    double pitch = 0.0; // Hz of the struck body
    double ring = 0.0; // decay time constant, seconds
    double bodyRatio = 0.0; // second mode of the body
    double noiseQ = 0.0; // width of the strike's noise
};

// The kind of control a row belongs to: its file name without the action
// ("ButtonPress" → "Button", "LittleArrowUpPress" → "LittleArrowUp").
std::string_view controlKind(std::string_view baseName);

// The voice of the control kind of a non-looping control row.
ControlVoice controlVoice(std::string_view kind);

// The design of a listed row's sound, or nothing when the row has none.
std::optional<SoundRecipe> recipeFor(const TintraSetEntry& entry);

// Renders a recipe at unit scale; the levels are set afterwards per category.
Samples renderRecipe(const SoundRecipe& recipe, std::uint64_t seed);

} // namespace tintra::standardset

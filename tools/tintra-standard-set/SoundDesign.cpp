#include "SoundDesign.h"

#include "catalogue/Catalogue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <type_traits>
#include <utility>

namespace tintra::standardset {
namespace {

using Layers = std::vector<PlacedLayer>;

const std::vector<Partial> kBell { { 1.0, 1.0, 1.0 }, { 2.0, 0.35, 0.6 }, { 2.76, 0.16, 0.4 }, { 5.4, 0.05, 0.25 } };
const std::vector<Partial> kWarm { { 1.0, 1.0, 1.0 }, { 2.0, 0.25, 0.7 }, { 3.0, 0.08, 0.5 } };

Envelope env(double attack, double decay, double length) { return { attack, decay, length }; }

Tone tone(double from, double to, Envelope envelope, double gain = 1.0, std::vector<Partial> partials = { Partial {} })
{
    return { from, to, std::move(partials), envelope, gain };
}

Noise noise(double from, double to, double q, Envelope envelope, double gain = 1.0)
{
    return { from, to, q, envelope, gain };
}

// Air moving: a band of noise that swells and fades while its centre glides.
Noise swish(double from, double to, double length, double gain = 1.0)
{
    return noise(from, to, 1.4, env(length * 0.4, length * 0.18, length), gain);
}

// The crack that starts a click: a very short burst of noise.
Noise strike(double centre, double q, double gain = 1.0)
{
    return noise(centre, centre, q, env(0.0002, 0.0007, 0.012), gain);
}

SoundRecipe oneShot(Layers layers, SoundRole role = SoundRole::main)
{
    return { role, std::move(layers), 0.0, std::nullopt };
}

SoundRecipe tick(double from, double to, double gain = 1.0)
{
    return oneShot({ { tone(from, to, env(0.0015, 0.005, 0.035), gain, kWarm), 0.0 } }, SoundRole::soft);
}

SoundRecipe chime(std::initializer_list<std::pair<double, double>> notes, double decay)
{
    Layers layers;
    for (auto [hz, at] : notes)
        layers.push_back({ tone(hz, hz, env(0.002, decay, decay * 6.0), 1.0, kBell), at });
    return oneShot(std::move(layers));
}

// Long enough that the swells do not beat, short enough to stay small.
constexpr double kLoopPeriod = 0.5;

SoundRecipe loop(LoopBed bed, Layers layers = {}) { return { SoundRole::loop, std::move(layers), kLoopPeriod, bed }; }

// A train of identical ticks, as an arrow repeating while held.
SoundRecipe ratchet(double pitch, int ticks)
{
    Layers layers;
    for (int i = 0; i < ticks; ++i) {
        const double at = kLoopPeriod * i / ticks;
        layers.push_back({ tone(pitch, pitch, env(0.0003, 0.004, 0.03), 1.0, kWarm), at });
        layers.push_back({ strike(pitch * 1.6, 2.0, 0.5), at });
    }
    return loop({ pitch, 1.5, 1, 0.0, 0, 0, 0.15 }, std::move(layers));
}

// The same sound from something smaller: higher and quicker.
SoundRecipe smaller(SoundRecipe recipe)
{
    constexpr double pitch = 1.4;
    constexpr double time = 0.75;
    for (auto& placed : recipe.layers) {
        placed.at *= time;
        std::visit(
            [&](auto& layer) {
                layer.from *= pitch;
                layer.to *= pitch;
                layer.envelope.attack *= time;
                layer.envelope.decay *= time;
                layer.envelope.length *= time;
            },
            placed.layer);
    }
    if (recipe.bed) {
        recipe.bed->centre *= pitch;
        recipe.bed->humHz *= pitch;
    }
    return recipe;
}

// A window passing by: air whose band glides, with a tone under it gliding the same way.
SoundRecipe passage(double airFrom, double airTo, double toneFrom, double toneTo, double length,
    const std::vector<Partial>& partials = kWarm)
{
    const auto under = tone(toneFrom, toneTo, env(length * 0.06, length * 0.22, length * 1.15), 0.45, partials);
    return oneShot({ { swish(airFrom, airTo, length), 0 }, { under, 0.02 } });
}

// Something light opening or closing: a short falling tone over a crack.
SoundRecipe pop(double from, double to, double decay, double crack, double crackGain)
{
    return oneShot(
        { { tone(from, to, env(0.0005, decay, decay * 6.0), 1.0, kWarm), 0 }, { strike(crack, 1.0, crackGain), 0 } });
}

// Something landing: a low tone that sinks, over a dull crack.
SoundRecipe thud(double from, double to, double decay, double crack, std::vector<Partial> partials = kWarm)
{
    return oneShot({ { tone(from, to, env(0.001, decay, decay * 6.0), 1.0, std::move(partials)), 0 },
        { strike(crack, 1.0, 0.5), 0 } });
}

SoundRecipe emptyTrash()
{
    // Paper crumpling: a decaying scatter of small crackles.
    Rng rng(0x7472617368ull);
    Layers layers;
    for (int i = 0; i < 36; ++i) {
        const double at = 0.7 * std::pow((rng.bipolar() + 1.0) / 2.0, 1.6);
        const double centre = 1500.0 + 1750.0 * (rng.bipolar() + 1.0);
        const double decay = 0.002 + 0.002 * (rng.bipolar() + 1.0);
        layers.push_back({ noise(centre, centre, 2.0, env(0.0005, decay, 0.03), std::exp(-at / 0.35)), at });
    }
    return oneShot(std::move(layers));
}

SoundRecipe figure(std::initializer_list<double> notes)
{
    // Notes 0.14 s apart; the last one rings longest. Under 2 s in all.
    Layers layers;
    double at = 0.0;
    std::size_t index = 0;
    for (double hz : notes) {
        const double decay = ++index == notes.size() ? 0.22 : 0.16;
        layers.push_back({ tone(hz, hz, env(0.004, decay, decay * 6.0), 1.0, kWarm), at });
        at += 0.14;
    }
    return oneShot(std::move(layers));
}

constexpr LoopBed kMoveWindow { 350, 0.7, 2, 0.3, 110, 0.15 };
constexpr LoopBed kGrowWindow { 600, 0.8, 4, 0.4, 165, 0.12 };

using Design = SoundRecipe (*)();

// Everything but the controls, by base name.
const std::array<std::pair<std::string_view, Design>, 54> kDesigns { {
    // Menus: light pops; the highlight only a whisper.
    { "MenuOpen", [] { return pop(900, 600, 0.017, 2500, 0.4); } },
    { "MenuClose", [] { return pop(650, 480, 0.014, 1800, 0.3); } },
    { "MenuItemHilite",
        [] {
            return oneShot({ { tone(2400, 2400, env(0.001, 0.003, 0.018)), 0 } }, SoundRole::soft);
        } },
    { "MenuItemRelease",
        [] {
            return oneShot({ { tone(1047, 1047, env(0.0008, 0.012, 0.06), 1.0, kWarm), 0 },
                { tone(1568, 1568, env(0.0008, 0.014, 0.085), 0.9, kWarm), 0.035 } });
        } },

    // Windows: passing air with a tone that rises on the way in and falls on the way out.
    { "WindowOpen", [] { return passage(600, 2400, 440, 660, 0.26); } },
    { "WindowClose", [] { return passage(2400, 600, 660, 440, 0.26); } },
    { "WindowZoomIn", [] { return passage(800, 3000, 520, 1040, 0.22); } },
    { "WindowZoomOut", [] { return passage(3000, 800, 1040, 520, 0.22); } },
    { "WindowCollapseUp", [] { return passage(1000, 4000, 700, 1100, 0.16); } },
    { "WindowCollapseDown", [] { return passage(4000, 1000, 1100, 700, 0.16); } },
    { "WindowActivate",
        [] {
            return oneShot({ { tone(1320, 1320, env(0.002, 0.02, 0.12), 1.0, kWarm), 0 } }, SoundRole::soft);
        } },
    { "WindowDragBoundary",
        [] {
            return thud(220, 200, 0.025, 1200, { { 1, 1, 1 }, { 2.3, 0.4, 0.5 } });
        } },
    { "DialogOpen",
        [] {
            return chime({ { 392, 0.0 }, { 587, 0.07 } }, 0.05);
        } },
    { "DialogClose",
        [] {
            return chime({ { 587, 0.0 }, { 392, 0.07 } }, 0.05);
        } },
    { "AlertOpen",
        [] {
            return chime({ { 880, 0.0 }, { 1175, 0.09 } }, 0.045);
        } },
    { "AlertClose", [] { return passage(1600, 500, 700, 500, 0.2); } },
    { "PopupWindowOpen", [] { return pop(1000, 700, 0.02, 2800, 0.4); } },
    { "PopupWindowClose", [] { return pop(700, 500, 0.016, 2000, 0.3); } },
    { "BalloonOpen",
        [] {
            return oneShot({ { tone(600, 1400, env(0.002, 0.03, 0.16)), 0 } });
        } },
    { "BalloonClose",
        [] {
            return oneShot({ { tone(1200, 600, env(0.002, 0.025, 0.14)), 0 } });
        } },
    { "DragTargetHilite", [] { return tick(1500, 1800); } },
    { "DragTargetUnhilite", [] { return tick(1600, 1300); } },
    { "DragTargetDrop", [] { return thud(300, 200, 0.04, 800); } },
    { "MouseClick",
        [] {
            return oneShot({ { tone(1800, 1800, env(0.0002, 0.005, 0.04)), 0 }, { strike(3500, 1.2), 0 } });
        } },
    { "KeyPress",
        [] {
            return oneShot({ { tone(2600, 2600, env(0.0002, 0.004, 0.035)), 0 },
                { tone(500, 480, env(0.0005, 0.01, 0.07), 0.6), 0 }, { strike(4500, 2.0), 0 } });
        } },
    { "KeyModifier",
        [] {
            return oneShot(
                { { tone(1300, 1300, env(0.0005, 0.006, 0.045)), 0 }, { strike(2000, 1.5, 0.5), 0 } }, SoundRole::soft);
        } },
    { "ApplicationHide", [] { return passage(2000, 500, 600, 400, 0.25, kBell); } },
    { "ApplicationShow", [] { return passage(500, 2000, 400, 600, 0.25, kBell); } },
    { "DragBegin",
        [] {
            return oneShot(
                { { tone(1400, 2000, env(0.0005, 0.012, 0.08), 1.0, kWarm), 0 }, { strike(3000, 1.5, 0.3), 0 } });
        } },
    { "DragSoundMoveWindow", [] { return loop(kMoveWindow); } },
    { "DragSoundGrowWindow", [] { return loop(kGrowWindow); } },
    { "DragSoundMoveUtilWindow", [] { return smaller(loop(kMoveWindow)); } },
    { "DragSoundGrowUtilWindow", [] { return smaller(loop(kGrowWindow)); } },
    { "DragSoundMoveDialog",
        [] {
            return loop({ 450, 0.8, 2, 0.3, 147, 0.15 });
        } },
    { "DragSoundMoveAlert",
        [] {
            return loop({ 500, 0.9, 3, 0.35, 196, 0.15 });
        } },
    { "DragSoundMoveIcon",
        [] {
            return loop({ 1200, 1.0, 3, 0.4 });
        } },

    // Control drags: scrapes for thumbs, fainter air for ghosts, ratchets for arrows.
    { "DragSoundSliderThumb",
        [] {
            return loop({ 1800, 1.5, 8, 0.6 });
        } },
    { "DragSoundSliderGhost",
        [] {
            return loop({ 3000, 2.0, 4, 0.3 });
        } },
    { "DragSoundScrollBarThumb",
        [] {
            return loop({ 1400, 1.3, 6, 0.6 });
        } },
    { "DragSoundScrollBarGhost",
        [] {
            return loop({ 2600, 2.0, 3, 0.3 });
        } },
    { "DragSoundScrollBarArrowDecreasing", [] { return ratchet(1400, 10); } },
    { "DragSoundScrollBarArrowIncreasing", [] { return ratchet(1900, 10); } },
    { "DragSoundDragging",
        [] {
            return loop({ 900, 0.9, 2, 0.2 });
        } },

    // Finder: chimes and figures with room to ring.
    { "SelectItem", [] { return tick(2000, 2000); } },
    { "NewItem",
        [] {
            return oneShot({ { tone(700, 1100, env(0.001, 0.03, 0.18), 1.0, kWarm), 0 } });
        } },
    { "CopyDone",
        [] {
            return chime({ { 1047, 0.0 }, { 1319, 0.09 } }, 0.12);
        } },
    { "ResolveAlias",
        [] {
            return chime({ { 1319, 0.0 }, { 1760, 0.05 } }, 0.05);
        } },
    { "LaunchApp", [] { return passage(500, 2500, 523, 784, 0.3, kBell); } },
    { "DiskInsert",
        [] {
            return chime({ { 1568, 0.0 }, { 2093, 0.07 } }, 0.12);
        } },
    { "DiskEject",
        [] {
            return chime({ { 1047, 0.0 }, { 784, 0.07 } }, 0.12);
        } },
    { "EmptyTrash", emptyTrash },
    { "MoveToTrash",
        [] {
            return oneShot(
                { { swish(3000, 700, 0.22), 0 }, { tone(180, 140, env(0.001, 0.03, 0.18), 0.8, kWarm), 0.16 } });
        } },
    { "Login",
        [] {
            return figure({ 523.25, 659.25, 783.99, 1046.5 });
        } },
    { "Logout",
        [] {
            return figure({ 783.99, 659.25, 523.25, 392.0 });
        } },
} };

// Finder drags over icons are the window category's drag ticks.
const std::array<std::pair<std::string_view, std::string_view>, 2> kAliases { {
    { "FinderDragOnIcon", "DragTargetHilite" },
    { "FinderDragOffIcon", "DragTargetUnhilite" },
} };

std::string_view baseName(std::string_view fileName) { return fileName.substr(0, fileName.rfind('.')); }

template <typename Table> std::optional<SoundRecipe> lookUp(const Table& table, std::string_view name)
{
    const auto found = std::find_if(table.begin(), table.end(), [&](const auto& row) { return row.first == name; });
    if (found == table.end())
        return std::nullopt;
    return found->second();
}

// The actions a control row can name, longest first where one ends another.
enum class Action { press, release, enter, exit, endOfTrack, none };
constexpr std::array<std::pair<std::string_view, Action>, 6> kActions { {
    { "EndOfTrack", Action::endOfTrack },
    { "Pressed", Action::press },
    { "Press", Action::press },
    { "Release", Action::release },
    { "Enter", Action::enter },
    { "Exit", Action::exit },
} };

Action controlAction(std::string_view base)
{
    for (auto [suffix, action] : kActions)
        if (base.ends_with(suffix))
            return action;
    return Action::none;
}

constexpr std::string_view kUtility = "Utility";

// The kinds of control in catalogue order, utility windows left out: they
// take the voice of their full-size counterpart, made smaller.
std::vector<std::string_view> fullSizeControlKinds()
{
    std::vector<std::string_view> kinds;
    for (const auto& entry : listedCatalogue()) {
        if (entry.category != TintraSoundCategory::control || entry.flags.contains(TintraSoundFlags::looping))
            continue;
        const auto kind = controlKind(baseName(entry.fileName));
        if (!kind.starts_with(kUtility) && std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
            kinds.push_back(kind);
    }
    return kinds;
}

SoundRecipe controlSound(const ControlVoice& voice, Action action)
{
    const double p = voice.pitch;
    const std::vector<Partial> body { { 1.0, 1.0, 1.0 }, { voice.bodyRatio, 0.5, 0.6 } };
    switch (action) {
    case Action::press: {
        // Lower and denser: a second strike close behind the first.
        const double ring = voice.ring * 1.3;
        return oneShot({ { tone(p * 0.78, p * 0.78, env(0.0002, ring, std::min(0.13, ring * 7.0)), 1.0, body), 0 },
            { strike(p * 0.7, voice.noiseQ), 0 }, { strike(p * 0.6, voice.noiseQ, 0.5), 0.007 } });
    }
    case Action::release: {
        const double ring = voice.ring * 0.7;
        return oneShot({ { tone(p * 1.12, p * 1.12, env(0.0002, ring, ring * 7.0), 0.8, body), 0 },
            { strike(p * 1.3, voice.noiseQ * 1.5, 0.7), 0 } });
    }
    case Action::enter:
        return tick(p * 1.5, p * 1.5);
    case Action::exit:
        return tick(p * 1.3, p * 1.2);
    case Action::endOfTrack:
        return oneShot(
            { { tone(p * 0.35, p * 0.33, env(0.0005, 0.015, 0.1), 1.0, body), 0 }, { strike(p * 0.5, 0.8, 0.6), 0 } });
    case Action::none:
        break;
    }
    // A drop received: a soft landing under a small tone.
    return oneShot(
        { { tone(p * 0.3, p * 0.2, env(0.001, 0.03, 0.14), 1.0, body), 0 }, { strike(p * 0.5, 0.8, 0.5), 0 } });
}

} // namespace

std::string_view controlKind(std::string_view base)
{
    for (auto [suffix, action] : kActions)
        if (base.ends_with(suffix))
            return base.substr(0, base.size() - suffix.size());
    return base;
}

ControlVoice controlVoice(std::string_view kind)
{
    // Full-size kinds take 24 pitches 0.75 semitones apart, stepping by 5 so
    // that neighbours in the catalogue sit far apart; utility windows sit
    // 7.5 steps above their full-size kind, between the steps of every other kind.
    constexpr double step = 0.75 / 12.0; // octaves
    if (kind.starts_with(kUtility)) {
        auto voice = controlVoice(kind.substr(kUtility.size()));
        voice.pitch *= std::pow(2.0, 7.5 * step);
        voice.ring *= 0.75;
        return voice;
    }
    static const auto kinds = fullSizeControlKinds();
    const auto found = std::find(kinds.begin(), kinds.end(), kind);
    const int k = int(found - kinds.begin());
    // The ring, body and strike vary on shorter cycles so neighbours differ in more than pitch.
    constexpr std::array<double, 3> rings { 0.006, 0.010, 0.016 };
    constexpr std::array<double, 4> bodies { 1.51, 2.32, 2.76, 1.83 };
    constexpr std::array<double, 3> strikes { 0.8, 1.6, 3.0 };
    return {
        1100.0 * std::pow(2.0, double((k * 5) % 24) * step),
        rings[std::size_t(k) % rings.size()],
        bodies[std::size_t(k) % bodies.size()],
        strikes[std::size_t(k / 3) % strikes.size()],
    };
}

std::optional<SoundRecipe> recipeFor(const TintraSetEntry& entry)
{
    std::string_view name = baseName(entry.fileName);
    for (auto [alias, original] : kAliases)
        if (name == alias)
            name = original;
    if (auto designed = lookUp(kDesigns, name))
        return designed;
    if (entry.category == TintraSoundCategory::control)
        return controlSound(controlVoice(controlKind(name)), controlAction(name));
    if (name.starts_with(kUtility))
        if (auto full = lookUp(kDesigns, name.substr(kUtility.size())))
            return smaller(*full);
    return std::nullopt;
}

Samples renderRecipe(const SoundRecipe& recipe, std::uint64_t seed)
{
    Rng rng(seed);
    std::vector<std::pair<Samples, std::size_t>> rendered;
    std::size_t length = recipe.isLoop() ? sampleCount(recipe.loopPeriod) : 0;
    for (const auto& placed : recipe.layers) {
        auto samples = std::visit(
            [&](const auto& layer) {
                if constexpr (std::is_same_v<std::decay_t<decltype(layer)>, Tone>)
                    return render(layer);
                else
                    return render(layer, rng);
            },
            placed.layer);
        const auto offset = sampleCount(placed.at);
        if (!recipe.isLoop())
            length = std::max(length, offset + samples.size());
        rendered.emplace_back(std::move(samples), offset);
    }
    Samples out(length, 0.0);
    for (const auto& [samples, offset] : rendered)
        mixInto(out, samples, offset, recipe.isLoop());
    if (recipe.bed) {
        const auto& bed = *recipe.bed;
        const auto bedNoise = periodicNoise(length, bed.centre, bed.q, rng);
        const double hum = bed.humHz > 0 ? periodicFrequency(bed.humHz, length) : 0.0;
        for (std::size_t i = 0; i < length; ++i) {
            const double turn = 2.0 * std::numbers::pi * double(i) / double(length);
            const double swell = 1.0 - bed.swellDepth * 0.5 * (1.0 - std::cos(turn * bed.swells));
            out[i]
                += bed.gain * swell * bedNoise[i] + bed.humGain * std::sin(turn * hum * double(length) / kSampleRate);
        }
    }
    return out;
}

} // namespace tintra::standardset

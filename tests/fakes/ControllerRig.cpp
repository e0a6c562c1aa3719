#include "fakes/ControllerRig.h"

#include "catalogue/Catalogue.h"
#include "fakes/SoundSetFiles.h"

namespace tintra::testing {

ControllerRig::ControllerRig()
{
    accessibility.addApplication(host, { { "AXRole", AXValue::text("AXApplication") } });
    workspace.launch({ .processIdentifier = host, .localizedName = "Tintra Dorvel",
        .bundleIdentifier = "org.tintradorvel.TintraDorvel", .activationPolicy = ActivationPolicy::accessory });
}

ControllerRig::~ControllerRig()
{
    // The controller reaches the silence monitor until it goes.
    controller.reset();
}

std::filesystem::path ControllerRig::installSet(const std::string& identifier, const std::vector<TintraSoundID>& sounds)
{
    std::vector<std::string> names;
    for (auto sound : sounds)
        names.emplace_back(entryBySoundID(sound)->fileName);
    const auto bundle = folder / "Library" / (identifier + ".tintraset");
    writeBundle(bundle, identifier, identifier, names);
    return bundle;
}

TintraController& ControllerRig::make()
{
    auto probe = std::make_unique<TintraSilenceProbe>(facts, skyLight, clock, executor, background);
    silence = std::make_unique<TintraSilenceMonitor>(defaults, std::move(probe), false, clock,
        [this](TintraSilenceReason reason, const TintraSilenceContext&) { return holding.contains(reason); });
    auto library = std::make_unique<TintraLibrary>(folder / "Library", std::nullopt, types);
    auto assignments = std::make_unique<TintraAssignments>(defaults, bookmarks, types);
    auto exclusions = std::make_unique<TintraExclusions>(defaults, TintraExclusions::DefaultTable {});
    TintraController::Environment environment { accessibility, workspace, inputEvents, keyboards, audio, screens,
        disks, sparks, executor, background, clock, home, shortVersion };
    controller = std::make_unique<TintraController>(std::move(environment), std::move(library),
        std::move(assignments), std::move(exclusions), defaults, *silence);
    return *controller;
}

AXElement ControllerRig::launch(std::int32_t processIdentifier, const std::string& name,
    const std::string& bundleIdentifier, ActivationPolicy policy)
{
    const auto element = accessibility.addApplication(processIdentifier, { { "AXRole", AXValue::text("AXApplication") } });
    workspace.launch({ .processIdentifier = processIdentifier, .localizedName = name,
        .bundleIdentifier = bundleIdentifier, .activationPolicy = policy });
    return element;
}

int ControllerRig::startsOf(const std::filesystem::path& file) const
{
    int starts = 0;
    for (const auto* player : audio.playersOf(file, true))
        starts += static_cast<int>(player->starts.size());
    return starts;
}

} // namespace tintra::testing

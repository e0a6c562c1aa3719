#pragma once

#include "engine/Exclusions.h"
#include "fakes/AccessibilityFake.h"
#include "fakes/DefaultsMemory.h"
#include "fakes/ManualExecutor.h"
#include "fakes/WorkspaceFake.h"

#include <optional>
#include <string>

namespace tintra {

// An application with one document window on the fake accessibility
// service, for the click resolver and monitor to click into.
struct ClickScene {
    static constexpr std::int32_t host = 7;
    static constexpr std::int32_t mail = 42;
    static constexpr const char* mailIdentifier = "org.example.Mail";

    ClickScene()
    {
        workspace.launch({ mail, "Mail", mailIdentifier });
        app = ax.addApplication(mail, { { "AXRole", AXValue::text("AXApplication") } });
        window = ax.addElement(app, { { "AXRole", AXValue::text("AXWindow") }, { "AXSubrole", AXValue::text("AXStandardWindow") } });
        ax.setFrame(window, { { 0, 0 }, { 800, 600 } });
    }

    // A control in `parent` that knows its window, as real elements do.
    AXElement add(const AXElement& parent, const std::string& role, std::optional<std::string> subrole, AXRect frame,
        const AXElement& inWindow)
    {
        AccessibilityFake::Attributes attributes { { "AXRole", AXValue::text(role) }, { "AXWindow", AXValue::element(inWindow) } };
        if (subrole)
            attributes.emplace("AXSubrole", AXValue::text(*subrole));
        auto element = ax.addElement(parent, std::move(attributes));
        ax.setFrame(element, frame);
        return element;
    }
    AXElement add(const std::string& role, std::optional<std::string> subrole = std::nullopt,
        AXRect frame = { { 10, 10 }, { 80, 20 } })
    {
        return add(window, role, std::move(subrole), frame, window);
    }

    ManualClock clock;
    ManualExecutor executor { clock };
    AccessibilityFake ax { clock, executor };
    WorkspaceFake workspace { host };
    DefaultsMemory defaults;
    TintraExclusions exclusions { defaults, {} };
    AXElement app;
    AXElement window;
};

} // namespace tintra

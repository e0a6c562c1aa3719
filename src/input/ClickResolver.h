#pragma once

#include "accessibility/Accessibility.h"
#include "workspace/Workspace.h"
#include "input/ClickTarget.h"
#include "input/ProcessIdentity.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

// Finds the classic control under a press through the accessibility hit
// test. Clicks on this application, on excluded applications and on menus
// resolve to nothing, as does every accessibility failure (quietly).
//
// Main thread only. A click asks at most: one hit test, one process
// identifier, one attribute batch for the element, for a button its window
// and one batch for that, and for a radio button its parent and the parent's
// role. The system-wide element's 0.1 s messaging time-out bounds how long a
// hung application can hold a click up.
class TintraClickResolver {
public:
    using ProcessIdentity = tintra::ProcessIdentity;

    struct ElementAttributes {
        std::optional<std::string> role;
        std::optional<std::string> subrole;
        std::optional<Rect> frame; // absent without both position and size
    };

    static constexpr Duration messagingTimeout = std::chrono::milliseconds(100);

    TintraClickResolver(Accessibility& accessibility, Workspace& workspace, ExclusionTest isExcluded);

    // `point` in top-left global coordinates.
    std::optional<TintraClickTarget> resolve(Point point);

    void forgetProcess(std::int32_t processIdentifier) { identities_.forget(processIdentifier); }
    void forgetAll() { identities_.forgetAll(); }
    std::size_t cachedIdentityCount() const { return identities_.size(); }

    // When off, a click that would be a generic click resolves to nothing.
    bool playsGenericClick = true;

private:
    using AttributeValues = std::map<std::string, AXValue>;

    AttributeValues fetch(const AXElement& element, const std::vector<std::string>& names);
    ElementAttributes elementAttributes(const AXElement& element);
    bool isTab(const AXElement& element);

    Accessibility& accessibility_;
    ExclusionTest isExcluded_;
    const AXElement systemWideElement_;
    const std::int32_t hostProcessIdentifier_;
    ProcessIdentities identities_;
};

} // namespace tintra

#include "input/KeyPressMonitor.h"

namespace tintra {

TintraKeyPressMonitor::TintraKeyPressMonitor(InputEvents& events, Workspace& workspace, KeyboardHardware& keyboards,
    const Clock& clock, Handler handler, ExclusionTest isExcluded)
    : events_(events)
    , workspace_(workspace)
    , keyboards_(keyboards)
    , clock_(clock)
    , handler_(std::move(handler))
    , isExcluded_(std::move(isExcluded))
    , hostProcessIdentifier_(workspace.hostProcessIdentifier())
    , identities_(workspace)
    , self_(std::make_shared<TintraKeyPressMonitor*>(this))
{
}

TintraKeyPressMonitor::~TintraKeyPressMonitor()
{
    if (monitor_)
        events_.removeMonitor(*monitor_);
}

void TintraKeyPressMonitor::start()
{
    if (monitor_)
        return;
    std::weak_ptr<TintraKeyPressMonitor*> weak = self_;
    monitor_ = events_.addGlobalKeyDownMonitor([weak](const KeyDownEvent& event) {
        if (auto self = weak.lock())
            (*self)->keyDown(event);
    });
}

void TintraKeyPressMonitor::stop()
{
    if (monitor_)
        events_.removeMonitor(*monitor_);
    monitor_.reset();
    identities_.forgetAll();
}

TintraKeyboardLayout TintraKeyPressMonitor::layout(std::int64_t keyboardType)
{
    if (const auto found = layouts_.find(keyboardType); found != layouts_.end())
        return found->second;
    // The platform knows keyboard types as 16-bit numbers.
    const auto type = keyboards_.layoutType(static_cast<std::uint16_t>(keyboardType));
    const auto layout = type == KeyboardHardware::isoLayoutType ? TintraKeyboardLayout::iso
        : type == KeyboardHardware::jisLayoutType              ? TintraKeyboardLayout::jis
                                                               : TintraKeyboardLayout::ansi;
    layouts_.emplace(keyboardType, layout);
    return layout;
}

std::optional<std::int32_t> TintraKeyPressMonitor::chosenProcess(std::int32_t targetProcess)
{
    if (targetProcess > 0 && targetProcess != hostProcessIdentifier_)
        return targetProcess;
    const auto frontmost = workspace_.frontmostApplication();
    if (frontmost && frontmost->processIdentifier > 0 && frontmost->processIdentifier != hostProcessIdentifier_)
        return frontmost->processIdentifier;
    return std::nullopt;
}

void TintraKeyPressMonitor::keyDown(const KeyDownEvent& event)
{
    const auto keyboardType = event.keyboardType > 0 ? event.keyboardType : keyboards_.currentKeyboardType();
    const auto processIdentifier = chosenProcess(event.targetProcess);
    if (!processIdentifier)
        return;
    const auto& identity = identities_.identity(*processIdentifier);
    if (isExcluded_(identity.bundleIdentifier))
        return;

    TintraEvent sounded;
    sounded.notificationName = "KeyDown";
    sounded.soundID = TintraSoundID::keyPress;
    sounded.processIdentifier = *processIdentifier;
    sounded.applicationName = identity.name;
    sounded.date = clock_.now();
    sounded.origin = TintraEventOrigin::application;
    sounded.pan = keyPan(event.keyCode, layout(keyboardType));
    handler_(sounded);
}

} // namespace tintra

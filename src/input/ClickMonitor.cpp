#include "input/ClickMonitor.h"

namespace tintra {

TintraClickMonitor::TintraClickMonitor(InputEvents& events, const Clock& clock, Handler handler,
    ShouldResolve shouldResolve, OnClick onClick, std::unique_ptr<TintraClickResolver> resolver)
    : events_(events)
    , clock_(clock)
    , handler_(std::move(handler))
    , shouldResolve_(std::move(shouldResolve))
    , onClick_(std::move(onClick))
    , resolver_(std::move(resolver))
    , self_(std::make_shared<TintraClickMonitor*>(this))
{
}

TintraClickMonitor::~TintraClickMonitor()
{
    for (auto token : monitors_)
        events_.removeMonitor(token);
}

void TintraClickMonitor::start()
{
    if (!monitors_.empty())
        return;
    std::weak_ptr<TintraClickMonitor*> weak = self_;
    const auto install = [&](MouseEventType type, void (TintraClickMonitor::*handle)(Point)) {
        auto token = events_.addGlobalMouseMonitor(type, [weak, handle](const MouseEvent& event) {
            if (auto self = weak.lock())
                ((*self)->*handle)(event.location);
        });
        if (token)
            monitors_.push_back(*token);
    };
    install(MouseEventType::leftMouseDown, &TintraClickMonitor::mouseDown);
    install(MouseEventType::leftMouseDragged, &TintraClickMonitor::mouseDragged);
    install(MouseEventType::leftMouseUp, &TintraClickMonitor::mouseUp);
}

void TintraClickMonitor::stop()
{
    for (auto token : monitors_)
        events_.removeMonitor(token);
    monitors_.clear();
    tracker_.reset();
    resolver_->forgetAll();
}

void TintraClickMonitor::mouseDown(Point location)
{
    tracker_.reset();
    if (!shouldResolve_())
        return;
    auto target = resolver_->resolve(location);
    onClick_(location);
    if (!target)
        return;
    const auto pressed = tracker_.press(*target, location);
    emit(pressed, *target);
}

void TintraClickMonitor::mouseDragged(Point location)
{
    if (!tracker_.target)
        return;
    emit(tracker_.drag(location), *tracker_.target);
}

void TintraClickMonitor::mouseUp(Point location)
{
    if (!tracker_.target)
        return;
    const auto target = *tracker_.target;
    emit(tracker_.release(location), target);
}

void TintraClickMonitor::emit(const std::optional<TintraClickSound>& sound, const TintraClickTarget& target)
{
    if (!sound)
        return;
    TintraEvent event;
    event.notificationName = std::string(notificationName(sound->step));
    event.soundID = sound->soundID;
    event.processIdentifier = target.processIdentifier;
    event.applicationName = target.applicationName;
    event.date = clock_.now();
    event.origin = TintraEventOrigin::application;
    handler_(event);
}

} // namespace tintra

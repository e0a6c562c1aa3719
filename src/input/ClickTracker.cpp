#include "input/ClickTracker.h"

namespace tintra {

namespace {

bool hasArea(const std::optional<Rect>& frame)
{
    return frame && !frame->isEmpty();
}

std::optional<TintraClickSound> sound(TintraClickStep step, std::optional<TintraSoundID> soundID)
{
    if (!soundID)
        return std::nullopt;
    return TintraClickSound { step, *soundID };
}

} // namespace

std::string_view notificationName(TintraClickStep step)
{
    switch (step) {
    case TintraClickStep::mouseDown: return "MouseDown";
    case TintraClickStep::mouseEnter: return "MouseEnter";
    case TintraClickStep::mouseExit: return "MouseExit";
    case TintraClickStep::mouseUp: return "MouseUp";
    }
    return {};
}

TintraClickSound TintraClickTracker::press(TintraClickTarget pressed, Point point)
{
    isInside = !hasArea(pressed.frame) || pressed.frame->contains(point);
    const auto kind = pressed.kind;
    target = std::move(pressed);
    return { TintraClickStep::mouseDown, pressSoundID(kind) };
}

std::optional<TintraClickSound> TintraClickTracker::drag(Point point)
{
    if (!target)
        return std::nullopt;
    // Frameless targets never leave, and a press leaves them inside.
    const bool inside = !hasArea(target->frame) || target->frame->contains(point);
    if (inside == isInside)
        return std::nullopt;
    isInside = inside;
    if (inside)
        return sound(TintraClickStep::mouseEnter, enterSoundID(target->kind));
    return sound(TintraClickStep::mouseExit, exitSoundID(target->kind));
}

std::optional<TintraClickSound> TintraClickTracker::release(Point point)
{
    if (!target)
        return std::nullopt;
    const auto released = std::move(*target);
    reset();
    if (hasArea(released.frame) && !released.frame->contains(point))
        return std::nullopt;
    return sound(TintraClickStep::mouseUp, releaseSoundID(released.kind));
}

} // namespace tintra

#include "shell/LoginItem.h"

#include "support/MainThread.h"
#include "support/PlatformTerms.h"

#include <fmt/format.h>

namespace tintra {

TintraLoginItem::TintraLoginItem(TintraLoginItemService& service, bool isOnReadOnlyVolume)
    : status_(service.status())
    , service_(service)
    , isOnReadOnlyVolume_(isOnReadOnlyVolume)
{
}

bool TintraLoginItem::isEnabled() const
{
    return status_.get() == TintraLoginItemStatus::enabled || status_.get() == TintraLoginItemStatus::requiresApproval;
}

void TintraLoginItem::setEnabled(bool on)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (isOnReadOnlyVolume_)
        return;
    const auto result = on ? service_.registerItem() : service_.unregisterItem();
    if (result)
        failureDescription_.set(std::nullopt);
    else
        failureDescription_.set(fmt::format("Could not {}: {}",
            on ? "open Tintra Dorvel at login" : "stop opening Tintra Dorvel at login", result.error().description()));
    status_.set(service_.status());
}

std::optional<std::string> TintraLoginItem::statusDescription() const
{
    if (isOnReadOnlyVolume_)
        return fmt::format("Move Tintra Dorvel to your Applications folder first. A copy running from a disk image "
                           "is not somewhere {} can open it from at login.",
            platformTerm::operatingSystem);
    if (failureDescription_.get())
        return failureDescription_.get();
    switch (status_.get()) {
    case TintraLoginItemStatus::requiresApproval:
        return fmt::format("Waiting to be approved under Login Items in {}.", platformTerm::settingsApplication);
    case TintraLoginItemStatus::notFound:
        return fmt::format("{} cannot find this copy of Tintra Dorvel to open at login.", platformTerm::operatingSystem);
    case TintraLoginItemStatus::notRegistered:
    case TintraLoginItemStatus::enabled:
        break;
    }
    return std::nullopt;
}

} // namespace tintra

#pragma once

#include "shell/LoginItemService.h"

#include <filesystem>

namespace tintra {

// The login item as an XDG autostart entry, {makerPrefix}.TintraDorvel.desktop
// in the autostart folder, which the desktop session reads at login. It starts
// `program` (an absolute path) with --opened-at-login.
//
// Registering writes the entry atomically, creating the folder; unregistering
// removes it. The status is read from the file each time: no entry, or one the
// user switched off (Hidden, X-GNOME-Autostart-enabled=false), is
// notRegistered; an entry whose program no longer exists is notFound; any
// other is enabled. The session never asks for approval.
class LoginItemServiceAutostart final : public TintraLoginItemService {
public:
    explicit LoginItemServiceAutostart(std::filesystem::path program,
        std::filesystem::path autostartFolder = standardFolder());

    // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart.
    static std::filesystem::path standardFolder();
    // Where the entry lies; "Open Login Items…" shows its folder.
    const std::filesystem::path& entry() const { return entry_; }

    TintraLoginItemStatus status() override;
    tl::expected<void, TintraLoginItemError> registerItem() override;
    tl::expected<void, TintraLoginItemError> unregisterItem() override;

private:
    std::filesystem::path program_;
    std::filesystem::path entry_;
};

} // namespace tintra

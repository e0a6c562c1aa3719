#pragma once

#include "platform/linux/Listeners.h"
#include "platform/linux/files/MountTable.h"

#include <glib.h>

#include <vector>

namespace tintra {

// This process's mount table, re-read whenever the kernel marks
// /proc/self/mountinfo changed (POLLPRI), on GLib's default main context.
// Main thread only. Told with the table before and after each change.
class MountWatch {
public:
    MountWatch();
    ~MountWatch();
    MountWatch(const MountWatch&) = delete;
    MountWatch& operator=(const MountWatch&) = delete;

    const std::vector<MountEntry>& mounts() const { return mounts_; }
    // False when the table cannot be watched (no /proc); the table then stays as first read.
    bool isWatching() const { return source_ != 0; }

    [[nodiscard]] Subscription onChanged(std::function<void(const std::vector<MountEntry>&, const std::vector<MountEntry>&)> listener);

private:
    void changed();

    int descriptor_ = -1;
    guint source_ = 0;
    std::vector<MountEntry> mounts_;
    Listeners<const std::vector<MountEntry>&, const std::vector<MountEntry>&> changed_;
};

} // namespace tintra

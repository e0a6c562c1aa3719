#include "platform/linux/files/MountWatch.h"

#include <glib-unix.h>

#include <fcntl.h>
#include <unistd.h>

#include <utility>

namespace tintra {

MountWatch::MountWatch()
    : descriptor_(open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC))
    , mounts_(readMountTable())
{
    if (descriptor_ < 0)
        return;
    // Polling the file clears its mark; each change then wakes the loop once.
    source_ = g_unix_fd_add(descriptor_, static_cast<GIOCondition>(G_IO_PRI | G_IO_ERR),
        [](gint, GIOCondition, gpointer self) -> gboolean {
            static_cast<MountWatch*>(self)->changed();
            return G_SOURCE_CONTINUE;
        },
        this);
}

MountWatch::~MountWatch()
{
    if (source_ != 0)
        g_source_remove(source_);
    if (descriptor_ >= 0)
        close(descriptor_);
}

Subscription MountWatch::onChanged(std::function<void(const std::vector<MountEntry>&, const std::vector<MountEntry>&)> listener)
{
    return changed_.subscribe(std::move(listener));
}

void MountWatch::changed()
{
    auto now = readMountTable();
    if (now == mounts_)
        return;
    const auto before = std::exchange(mounts_, std::move(now));
    changed_.tell(before, mounts_);
}

} // namespace tintra

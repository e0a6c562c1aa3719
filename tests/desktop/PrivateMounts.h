#pragma once

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

namespace tintra {

// From now on the calling thread, and what it starts, mount and unmount in a namespace of their
// own: mounts are the machine's, and a disk seen coming and going would be heard by every other
// test that runs the program at the same time. Call it from the main thread, before anything that
// watches the mount table starts; why it could not be, or nothing.
inline std::optional<std::string> keepMountsToOurselves()
{
    if (unshare(CLONE_NEWNS) != 0)
        return std::string("no mount namespace of our own: ") + std::strerror(errno);
    if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("the mounts could not be made private: ") + std::strerror(errno);
    return std::nullopt;
}

} // namespace tintra

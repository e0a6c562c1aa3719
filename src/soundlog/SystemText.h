#pragma once

#include <string>
#include <string_view>

namespace tintra {

// How the sound-log report names the system: the distribution's PRETTY_NAME
// from os-release ("Linux" when it has none), then the kernel release in
// brackets when known: "Debian GNU/Linux 12 (bookworm) (6.1.0-18-amd64)".
std::string systemText(std::string_view osRelease, std::string_view kernelRelease);

// The same for the running system, from /etc/os-release (or
// /usr/lib/os-release) and uname.
std::string currentSystemText();

} // namespace tintra

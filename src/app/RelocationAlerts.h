#pragma once

#include "app/Relocation.h"

namespace tintra {

// The relocation's alerts as Qt message boxes, and its copy started as a
// process of its own.
TintraRelocation::Desktop relocationDesktop();

} // namespace tintra

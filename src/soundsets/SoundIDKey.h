#pragma once

#include "catalogue/SoundID.h"

#include <string>

namespace tintra {

// The text a sound ID is stored under: its four bytes as they were read, so
// that a key such as "éé" survives a rewrite, or the "?" form when the bytes
// are no text a property list can hold.
std::string soundIDKey(TintraSoundID soundID);

} // namespace tintra

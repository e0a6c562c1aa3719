#include "soundsets/ResourceForkError.h"

namespace tintra {

std::string TintraResourceForkError::description() const
{
    switch (kind) {
    case Case::notAFileURL: return "Not a file URL";
    case Case::couldNotLocate: return "Could not locate the file";
    case Case::noReadableFork: return "The file has no readable resource fork";
    case Case::emptyFork: return "The resource fork is empty";
    }
    return {};
}

} // namespace tintra

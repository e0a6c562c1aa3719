#include "app/Unavailable.h"

#include <unistd.h>

#include <iostream>

namespace tintra {

void reportUnavailable(const std::string& what)
{
    std::cerr << "Tintra Dorvel: " << what << "." << std::endl;
}

WorkspaceUnavailable::WorkspaceUnavailable()
    : host_(static_cast<std::int32_t>(::getpid()))
{
    reportUnavailable("no view of the running applications, so none is observed");
}

} // namespace tintra

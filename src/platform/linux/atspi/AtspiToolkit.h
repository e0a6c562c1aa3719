#pragma once

#include <string_view>

namespace tintra {

// The toolkit families whose accessibility differs enough to need rows of
// their own; told apart by the application's toolkit name and version
// ("GTK" 3.24 or 4.8, "Qt", "Gecko", "Chromium").
enum class AtspiToolkit { gtk3, gtk4, qt, gecko, chromium, other };

AtspiToolkit toolkitFamily(std::string_view toolkitName, std::string_view toolkitVersion);

} // namespace tintra

#pragma once

#include <tl/expected.hpp>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

// Where the running program stands.
enum class TintraBundleLocation { diskImage = 0, translocated = 1, acceptable = 2 };

using ProcessEnvironment = std::map<std::string, std::string, std::less<>>;

struct TintraRelocationAlert {
    enum class Style { informational, warning };
    Style style = Style::informational;
    std::string message;
    std::string informativeText;
    // The first is the default button; the second, when there is one, answers Escape.
    std::vector<std::string> buttons;
};

// Moves a copy that cannot work from where it stands (a read-only image) into
// a folder of the user's and starts it from there. The desktop's part, the
// alerts, the new process and quitting, comes in as functions.
class TintraRelocation {
public:
    struct Desktop {
        // Shows the alert modally; whether the first button was chosen.
        std::function<bool(const TintraRelocationAlert&)> ask;
        // The program brings itself to the front before it asks.
        std::function<void()> activate;
        // Starts the copy as a new instance; its failure's description.
        std::function<tl::expected<void, std::string>(const std::filesystem::path& copy)> launch;
        std::function<void()> quit;
    };
    struct Folders {
        // Where a copy goes, in order of preference: ~/Applications, then the user's data folder.
        std::filesystem::path applications;
        std::filesystem::path userData;
    };

    TintraRelocation(Folders folders, Desktop desktop, std::function<TintraBundleLocation(const std::filesystem::path&)> location);

    // True when the launch must not go on: the program is quitting or starting its copy.
    bool relocateIfNeeded(bool canRunInPlace, const std::filesystem::path& bundleURL, const ProcessEnvironment& environment);

    static bool isUnderTest(const ProcessEnvironment& environment);

    // The texts of the alerts.
    static std::string description(const std::string& name, TintraBundleLocation location, bool canRunInPlace);
    static TintraRelocationAlert relocationAlert(const std::string& name, const std::filesystem::path& destination,
        TintraBundleLocation location, bool canRunInPlace);
    static TintraRelocationAlert cannotRunAlert(const std::string& name, TintraBundleLocation location);
    // A folder's path for a sentence, without its trailing "/".
    static std::string displayPath(const std::filesystem::path& folder);

    std::optional<std::filesystem::path> destination() const;
    // Stages the copy beside the target, then replaces what stands there.
    static tl::expected<std::filesystem::path, std::string> copyInto(
        const std::filesystem::path& bundleURL, const std::filesystem::path& folder);

private:
    bool stopUnless(bool canRunInPlace);
    void relaunch(const std::filesystem::path& copy);

    Folders folders_;
    Desktop desktop_;
    std::function<TintraBundleLocation(const std::filesystem::path&)> location_;
};

} // namespace tintra

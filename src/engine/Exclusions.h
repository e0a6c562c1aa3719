#pragma once

#include "input/ProcessIdentity.h"
#include "support/Defaults.h"
#include "support/Observable.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// An application excluded unless the user includes it again, and why.
struct TintraDefaultExclusion {
    std::string name;
    std::string reason;
    friend bool operator==(const TintraDefaultExclusion&, const TintraDefaultExclusion&) = default;
};

// One row of the combined exclusion list.
struct TintraExclusion {
    std::string bundleIdentifier;
    std::string name; // may be empty; the list then shows the identifier
    friend bool operator==(const TintraExclusion&, const TintraExclusion&) = default;
};

struct TintraExclusionError {
    enum class Case { noBundleIdentifier };
    Case kind;
    std::filesystem::path url; // the application file the user chose

    // "Notes.txt has no bundle identifier, and an exclusion has nothing else to key on."
    std::string description() const;
};

// Which applications are neither observed nor heard, by bundle identifier
// (on Linux the desktop-entry ID): the user's own exclusions and the
// platform's default ones the user has not included back. Every change is
// saved at once. Main thread only.
class TintraExclusions {
public:
    using Names = std::map<std::string, std::string, std::less<>>;
    using DefaultTable = std::map<std::string, TintraDefaultExclusion, std::less<>>;

    static constexpr std::string_view excludedApplicationsKey = "TintraExcludedApplications";
    static constexpr std::string_view includedDefaultExclusionsKey = "TintraIncludedDefaultExclusions";

    // The default table comes from the platform layer.
    TintraExclusions(Defaults& defaults, DefaultTable byDefault);
    TintraExclusions(const TintraExclusions&) = delete;
    TintraExclusions& operator=(const TintraExclusions&) = delete;

    // An absent identifier is never excluded.
    bool isExcluded(std::optional<std::string_view> bundleIdentifier) const;
    // isExcluded for the input monitors, which must not outlive this object.
    ExclusionTest exclusionTest() const
    {
        return [this](std::optional<std::string_view> bundleIdentifier) { return isExcluded(bundleIdentifier); };
    }
    // The default exclusion while it applies (not included back).
    std::optional<TintraDefaultExclusion> defaultExclusion(std::string_view bundleIdentifier) const;
    // The user's exclusions and every applying default one; an empty stored
    // name gives way to the default's name.
    Names excludedNames() const;
    // excludedNames as rows, in the order a file browser sorts their display
    // keys (the name, or the identifier when the name is empty).
    const std::vector<TintraExclusion>& exclusions() const { return exclusions_.get(); }
    // Told after every change of the list; the settings window shows it.
    [[nodiscard]] Subscription observeExclusions(Observable<std::vector<TintraExclusion>>::Observer observer)
    {
        return exclusions_.subscribe(std::move(observer));
    }

    // Without a name, the name stored before, else the default exclusion's, else "".
    void exclude(const std::string& bundleIdentifier, std::optional<std::string> name = std::nullopt);
    void include(const std::string& bundleIdentifier);
    // Excludes the application a desktop entry describes, under its Name
    // (the file name when it has none) and gives its identifier. Nothing is
    // stored on failure.
    tl::expected<std::string, TintraExclusionError> excludeApplication(const std::filesystem::path& file);

    const DefaultTable& byDefault() const { return byDefault_; }

private:
    void changed();
    void save();

    Defaults& defaults_;
    const DefaultTable byDefault_;
    Names storedNames_;
    std::set<std::string, std::less<>> includedByDefault_;
    Observable<std::vector<TintraExclusion>> exclusions_;
};

} // namespace tintra

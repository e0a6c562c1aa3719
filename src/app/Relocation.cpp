#include "app/Relocation.h"

#include <unistd.h>

#include <system_error>

namespace fs = std::filesystem;

namespace tintra {

namespace {

std::string nameOf(const fs::path& bundleURL)
{
    return bundleURL.stem().string();
}

// A folder that does not exist yet counts as writable when it can be made.
bool isWritable(const fs::path& folder)
{
    std::error_code error;
    if (fs::exists(folder, error))
        return ::access(folder.c_str(), W_OK) == 0;
    return ::access(folder.parent_path().c_str(), W_OK) == 0;
}

} // namespace

TintraRelocation::TintraRelocation(
    Folders folders, Desktop desktop, std::function<TintraBundleLocation(const fs::path&)> location)
    : folders_(std::move(folders))
    , desktop_(std::move(desktop))
    , location_(std::move(location))
{
}

bool TintraRelocation::isUnderTest(const ProcessEnvironment& environment)
{
    for (const auto* name : { "XCTestBundlePath", "XCTestSessionIdentifier", "XCTestConfigurationFilePath" })
        if (environment.contains(name))
            return true;
    return false;
}

std::string TintraRelocation::displayPath(const fs::path& folder)
{
    auto path = folder.string();
    if (path.size() >= 2 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string TintraRelocation::description(const std::string& name, TintraBundleLocation location, bool canRunInPlace)
{
    const bool translocated = location == TintraBundleLocation::translocated;
    std::string text = translocated
        ? name + " is running from the read-only copy macOS makes when an app is opened from the folder it was downloaded to."
        : name + " is running from a disk image.";
    text += canRunInPlace ? " It cannot check for updates from there, and "
                          : " It cannot work from there. The permissions it needs are granted to an app where it stands, "
                            "and this copy is not staying: it cannot be opened at login, it cannot check for updates, and ";
    text += translocated ? "the copy is thrown away when it quits" : "it quits as soon as the image is ejected";
    return text + ".";
}

TintraRelocationAlert TintraRelocation::relocationAlert(
    const std::string& name, const fs::path& destination, TintraBundleLocation location, bool canRunInPlace)
{
    const auto path = displayPath(destination);
    return { .style = TintraRelocationAlert::Style::informational,
        .message = "Copy " + name + " to " + path + "?",
        .informativeText = description(name, location, canRunInPlace) + "\n\nCopying it to " + path
            + " and relaunching from there fixes " + (canRunInPlace ? "both" : "all of it")
            + ". The copy you opened is left where it is.",
        .buttons = { "Copy to Applications Folder", canRunInPlace ? "Not Now" : "Quit" } };
}

TintraRelocationAlert TintraRelocation::cannotRunAlert(const std::string& name, TintraBundleLocation location)
{
    return { .style = TintraRelocationAlert::Style::warning,
        .message = "\u201C" + name + "\u201D cannot run from where it is.",
        .informativeText = description(name, location, false)
            + "\n\nThere is no Applications folder this account can write to, so it cannot copy itself out of the "
              "way. Move it to an Applications folder and open it from there.",
        .buttons = { "OK" } };
}

std::optional<fs::path> TintraRelocation::destination() const
{
    std::optional<fs::path> folder;
    if (!folders_.applications.empty() && isWritable(folders_.applications))
        folder = folders_.applications;
    else if (!folders_.userData.empty())
        folder = folders_.userData;
    else if (!folders_.applications.empty())
        folder = folders_.applications;
    if (!folder)
        return std::nullopt;
    std::error_code error;
    fs::create_directories(*folder, error);
    if (error)
        return std::nullopt;
    return folder;
}

tl::expected<fs::path, std::string> TintraRelocation::copyInto(const fs::path& bundleURL, const fs::path& folder)
{
    std::string staging = (folder / ".tintra-relocation-XXXXXX").string();
    if (!::mkdtemp(staging.data()))
        return tl::unexpected(std::error_code(errno, std::generic_category()).message());
    const auto staged = fs::path(staging) / bundleURL.filename();
    const auto target = folder / bundleURL.filename();
    std::error_code error;
    fs::copy(bundleURL, staged, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    // A folder cannot be renamed over a folder that holds anything, so the old copy goes first.
    if (!error && fs::is_directory(target) && !fs::is_symlink(target))
        fs::remove_all(target, error);
    if (!error)
        fs::rename(staged, target, error);
    std::error_code ignored;
    fs::remove_all(staging, ignored);
    if (error)
        return tl::unexpected(error.message());
    return target;
}

bool TintraRelocation::stopUnless(bool canRunInPlace)
{
    if (canRunInPlace)
        return false;
    desktop_.quit();
    return true;
}

bool TintraRelocation::relocateIfNeeded(bool canRunInPlace, const fs::path& bundleURL, const ProcessEnvironment& environment)
{
    if (isUnderTest(environment))
        return false;
    const auto location = location_(bundleURL);
    if (location == TintraBundleLocation::acceptable)
        return false;
    const auto name = nameOf(bundleURL);
    const auto folder = destination();
    if (!folder) {
        if (canRunInPlace)
            return false;
        desktop_.activate();
        desktop_.ask(cannotRunAlert(name, location));
        desktop_.quit();
        return true;
    }
    desktop_.activate();
    if (!desktop_.ask(relocationAlert(name, *folder, location, canRunInPlace)))
        return stopUnless(canRunInPlace);
    const auto copy = copyInto(bundleURL, *folder);
    if (!copy) {
        desktop_.ask({ .style = TintraRelocationAlert::Style::warning,
            .message = "\u201C" + name + "\u201D could not be copied to " + displayPath(*folder) + ".",
            .informativeText = copy.error(),
            .buttons = { "OK" } });
        return stopUnless(canRunInPlace);
    }
    relaunch(*copy);
    return true;
}

void TintraRelocation::relaunch(const fs::path& copy)
{
    if (const auto started = desktop_.launch(copy); !started)
        desktop_.ask({ .style = TintraRelocationAlert::Style::warning,
            .message = "\u201C" + nameOf(copy) + "\u201D could not be opened after copying.",
            .informativeText = started.error() + " Open the copy in " + displayPath(copy.parent_path()) + ".",
            .buttons = { "OK" } });
    desktop_.quit();
}

} // namespace tintra

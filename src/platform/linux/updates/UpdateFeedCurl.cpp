#include "platform/linux/updates/UpdateFeedCurl.h"

#include "platform/linux/updates/AppcastXml.h"
#include "platform/linux/updates/HttpGet.h"
#include "platform/linux/updates/UpdateSignature.h"

#include <curl/curl.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tintra {
namespace {

constexpr std::size_t feedLimit = 8 << 20;
constexpr std::size_t unannouncedFileLimit = std::size_t(1) << 30;

// The last part of the URL's path, decoded, as a name that stays inside the folder.
std::string fileNameOf(const std::string& url)
{
    std::string path = url.substr(0, url.find_first_of("?#"));
    path = path.substr(path.find_last_of('/') + 1);
    int length = 0;
    char* decoded = curl_easy_unescape(nullptr, path.c_str(), int(path.size()), &length);
    std::string name = decoded ? std::string(decoded, std::size_t(length)) : path;
    curl_free(decoded);
    if (name.empty() || name.front() == '.' || name.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
        return "Tintra Dorvel update";
    return name;
}

std::string systemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

// Writes the verified file beside its final place and links it in under the
// first free name, so that nothing of the user's is ever replaced.
UpdateFeed::Download place(const std::string& content, const std::filesystem::path& folder, const std::string& name)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string staged = (folder / ("." + name + ".XXXXXX")).string();
    const int fd = mkstemp(staged.data());
    if (fd < 0)
        return tl::unexpected(systemError("The update could not be saved in " + folder.string()));
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t chunk = ::write(fd, content.data() + written, content.size() - written);
        if (chunk < 0 && errno == EINTR)
            continue;
        if (chunk <= 0)
            break;
        written += std::size_t(chunk);
    }
    // An AppImage runs as it is, as the user will expect of it.
    const bool runnable = name.ends_with(".AppImage");
    const bool complete = written == content.size() && ::fchmod(fd, runnable ? 0755 : 0644) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    if (!complete) {
        const auto failure = systemError("The update could not be saved in " + folder.string());
        ::unlink(staged.c_str());
        return tl::unexpected(failure);
    }
    // Later copies are numbered before the extension: "NAME (2).AppImage".
    const auto dot = name.find_last_of('.');
    const std::string stem = name.substr(0, dot), extension = dot == std::string::npos ? "" : name.substr(dot);
    for (int copy = 1; copy < 1000; ++copy) {
        const auto target = folder / (copy == 1 ? name : stem + " (" + std::to_string(copy) + ")" + extension);
        if (::link(staged.c_str(), target.c_str()) == 0) {
            ::unlink(staged.c_str());
            return target;
        }
        if (errno != EEXIST)
            break;
    }
    const auto failure = systemError("The update could not be saved in " + folder.string());
    ::unlink(staged.c_str());
    return tl::unexpected(failure);
}

} // namespace

UpdateFeedCurl::UpdateFeedCurl(MainExecutor& main, std::string feedURL, std::string publicEDKey)
    : feedURL_(std::move(feedURL))
    , publicEDKey_(std::move(publicEDKey))
    , worker_(main)
{
}

UpdateFeedCurl::~UpdateFeedCurl()
{
    isStopping_->store(true);
}

void UpdateFeedCurl::fetchItems(std::function<void(Items)> completion)
{
    worker_.run(
        [url = feedURL_]() -> Items {
            auto body = httpGetText(url, feedLimit);
            if (!body)
                return tl::unexpected("The update feed could not be read: " + body.error() + ".");
            auto items = parseAppcast(*body);
            if (!items)
                return tl::unexpected("The update feed could not be read: " + items.error() + ".");
            return items;
        },
        std::move(completion));
}

void UpdateFeedCurl::download(const TintraAppcastItem& item, const std::filesystem::path& folder,
    std::function<void(Download)> completion)
{
    worker_.run(
        [item, folder, key = publicEDKey_, isStopping = isStopping_]() -> Download {
            if (item.edSignature.empty())
                return tl::unexpected(std::string("The update is not signed, so it was not kept."));
            std::string content;
            auto fetched = httpGet(item.fileURL, item.fileLength ? item.fileLength : unannouncedFileLimit,
                [&content, &isStopping](std::string_view chunk) {
                    content.append(chunk);
                    return !isStopping->load();
                });
            if (!fetched)
                return tl::unexpected("The update could not be downloaded: " + fetched.error() + ".");
            if (item.fileLength && content.size() != item.fileLength)
                return tl::unexpected("The update could not be downloaded: " + std::to_string(content.size())
                    + " bytes came, and the feed announced " + std::to_string(item.fileLength) + ".");
            if (!isSignedBy(content, item.edSignature, key))
                return tl::unexpected(
                    std::string("The update's signature does not match the file, so the file was not kept."));
            return place(content, folder, fileNameOf(item.fileURL));
        },
        std::move(completion));
}

} // namespace tintra

#include "platform/linux/updates/HttpGet.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace tintra {
namespace {

struct Transfer {
    const std::function<bool(std::string_view)>& sink;
    std::size_t limit;
    std::size_t received = 0;
    bool tooLarge = false;
};

std::size_t receive(char* data, std::size_t size, std::size_t count, void* userData)
{
    auto& transfer = *static_cast<Transfer*>(userData);
    const std::size_t bytes = size * count;
    transfer.received += bytes;
    if (transfer.received > transfer.limit) {
        transfer.tooLarge = true;
        return 0;
    }
    return transfer.sink(std::string_view(data, bytes)) ? bytes : 0;
}

std::string_view schemeAndHost(std::string_view url, std::string_view& host)
{
    const auto colon = url.find("://");
    if (colon == std::string_view::npos)
        return {};
    auto rest = url.substr(colon + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const auto at = rest.rfind('@'); at != std::string_view::npos)
        rest = rest.substr(at + 1);
    if (rest.starts_with('['))
        host = rest.substr(0, rest.find(']') + 1);
    else
        host = rest.substr(0, rest.find(':'));
    return url.substr(0, colon);
}

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

bool isAllowedUpdateURL(std::string_view url)
{
    std::string_view host;
    const auto scheme = schemeAndHost(url, host);
    if (scheme == "https")
        return !host.empty();
    // A local feed, as for testing a release before it is published.
    return scheme == "http" && (host == "127.0.0.1" || host == "localhost" || host == "[::1]");
}

tl::expected<void, std::string> httpGet(const std::string& url, std::size_t limit,
    const std::function<bool(std::string_view chunk)>& sink)
{
    if (!isAllowedUpdateURL(url))
        return tl::unexpected("only HTTPS addresses are used for updates, and " + url + " is not one");
    initialiseCurlOnce();
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
        return tl::unexpected(std::string("the network library could not start"));
    Transfer transfer { sink, limit };
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "https,http");
    // A redirect never leaves HTTPS, not even from a local feed.
    curl_easy_setopt(curl.get(), CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 20L);
    // Gives up on a transfer that stalls, however long a large one takes.
    curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_TIME, 30L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, "Tintra Dorvel");
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, receive);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &transfer);
    const CURLcode result = curl_easy_perform(curl.get());
    if (transfer.tooLarge)
        return tl::unexpected("more than " + std::to_string(limit) + " bytes came from " + url);
    if (result != CURLE_OK)
        return tl::unexpected(url + ": " + (*error ? std::string(error) : std::string(curl_easy_strerror(result))));
    return {};
}

tl::expected<std::string, std::string> httpGetText(const std::string& url, std::size_t limit)
{
    std::string body;
    auto done = httpGet(url, limit, [&body](std::string_view chunk) {
        body.append(chunk);
        return true;
    });
    if (!done)
        return tl::unexpected(done.error());
    return body;
}

} // namespace tintra

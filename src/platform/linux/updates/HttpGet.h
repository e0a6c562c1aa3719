#pragma once

#include <tl/expected.hpp>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tintra {

// Fetches a URL with libcurl, blocking: for a worker thread. Only HTTPS is
// spoken, and plain HTTP to this machine itself; redirects go to HTTPS only.
// Each chunk goes to `sink`; more than `limit` bytes, a refused scheme, a
// failed transfer or an HTTP error status end it with one line that names
// what went wrong.
tl::expected<void, std::string> httpGet(const std::string& url, std::size_t limit,
    const std::function<bool(std::string_view chunk)>& sink);

// The whole body, for small documents.
tl::expected<std::string, std::string> httpGetText(const std::string& url, std::size_t limit);

// Whether the URL is one that httpGet speaks to.
bool isAllowedUpdateURL(std::string_view url);

} // namespace tintra

#include "shell/UpdateRules.h"

#include <algorithm>
#include <cctype>

namespace tintra {
namespace {

bool isURL(std::string_view text)
{
    const auto colon = text.find("://");
    return colon != std::string_view::npos && colon > 0 && colon + 3 < text.size()
        && std::isalpha(static_cast<unsigned char>(text.front()))
        && std::none_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); });
}

// Length of the bytes that strict Base64 (padded, no line breaks) decodes to; none when it is not Base64.
std::optional<std::size_t> base64Length(std::string_view text)
{
    if (text.empty() || text.size() % 4 != 0)
        return std::nullopt;
    const std::size_t padding = text.ends_with("==") ? 2 : text.ends_with('=') ? 1 : 0;
    const auto body = text.substr(0, text.size() - padding);
    const bool alphabet = std::all_of(body.begin(), body.end(),
        [](unsigned char c) { return std::isalnum(c) || c == '+' || c == '/'; });
    if (!alphabet)
        return std::nullopt;
    return text.size() / 4 * 3 - padding;
}

} // namespace

std::set<std::string> allowedUpdateChannels(std::string_view shortVersion)
{
    std::string lower(shortVersion);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower.find_first_of("ab") != std::string::npos || lower.find("rc") != std::string::npos)
        return { "beta" };
    return {};
}

std::optional<std::string> updateProblemDescription(const std::optional<std::string>& startFailureDescription,
    std::string_view feedURL, std::string_view publicEDKey)
{
    if (startFailureDescription)
        return startFailureDescription;
    if (!isURL(feedURL))
        return "No appcast URL is set, so there is nothing to check against.";
    if (base64Length(publicEDKey) != 32u)
        return "No update signing key is set, so no update could be verified. Set TINTRA_UPDATE_PUBLIC_KEY to the "
               "Base64 Ed25519 public key when configuring the build.";
    return std::nullopt;
}

} // namespace tintra

#include "platform/linux/updates/UpdateSignature.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

namespace tintra {
namespace {

template <std::size_t Size>
std::optional<std::array<unsigned char, Size>> decodedExactly(std::string_view base64)
{
    std::array<unsigned char, Size + 1> bytes {};
    std::size_t length = 0;
    if (sodium_base642bin(bytes.data(), bytes.size(), base64.data(), base64.size(), nullptr, &length, nullptr,
            sodium_base64_VARIANT_ORIGINAL)
            != 0
        || length != Size)
        return std::nullopt;
    std::array<unsigned char, Size> exact {};
    std::copy_n(bytes.begin(), Size, exact.begin());
    return exact;
}

} // namespace

bool isSignedBy(std::string_view content, std::string_view signatureBase64, std::string_view publicKeyBase64)
{
    if (sodium_init() < 0)
        return false;
    const auto signature = decodedExactly<crypto_sign_BYTES>(signatureBase64);
    const auto key = decodedExactly<crypto_sign_PUBLICKEYBYTES>(publicKeyBase64);
    return signature && key
        && crypto_sign_verify_detached(signature->data(), reinterpret_cast<const unsigned char*>(content.data()),
               content.size(), key->data())
        == 0;
}

} // namespace tintra

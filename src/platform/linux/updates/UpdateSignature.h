#pragma once

#include <string_view>

namespace tintra {

// Whether `signatureBase64` is an Ed25519 signature of `content` by the key
// `publicKeyBase64` (both Base64, as Sparkle's feeds and keys write them).
// Anything that does not decode to a signature or a key is no signature.
bool isSignedBy(std::string_view content, std::string_view signatureBase64, std::string_view publicKeyBase64);

} // namespace tintra

#pragma once

#include <sodium.h>

#include <string>

namespace tintra {

// An Ed25519 key pair made for one test, speaking the Base64 that feeds carry.
class UpdateSigningKey {
public:
    UpdateSigningKey()
    {
        if (sodium_init() >= 0)
            crypto_sign_keypair(publicKey_, secretKey_);
    }

    std::string publicKey() const { return base64(publicKey_, sizeof publicKey_); }

    std::string signatureOf(const std::string& content) const
    {
        unsigned char signature[crypto_sign_BYTES];
        crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(content.data()), content.size(),
            secretKey_);
        return base64(signature, sizeof signature);
    }

private:
    static std::string base64(const unsigned char* bytes, std::size_t size)
    {
        std::string text(sodium_base64_encoded_len(size, sodium_base64_VARIANT_ORIGINAL), '\0');
        sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
        text.pop_back(); // the terminating NUL
        return text;
    }

    unsigned char publicKey_[crypto_sign_PUBLICKEYBYTES] = {};
    unsigned char secretKey_[crypto_sign_SECRETKEYBYTES] = {};
};

} // namespace tintra

#include "update/signature.h"

#include <sodium.h>

#include <fstream>
#include <iterator>

#include "base/file_path.h"
#include "base/number_text.h"

namespace kasa {

std::optional<SigningPublicKey> PublicKeyFromHex(std::string_view hex) {
    SigningPublicKey key{};
    if (hex.size() != key.size() * 2) {
        return std::nullopt;
    }
    for (size_t i = 0; i < key.size(); ++i) {
        const int high = HexDigitValue(hex[2 * i]);
        const int low = HexDigitValue(hex[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        key[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return key;
}

bool VerifyFileSignature(const std::string& path, std::string_view signature,
                         const SigningPublicKey& key) {
    if (signature.size() != crypto_sign_BYTES || sodium_init() < 0) {
        return false;
    }
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) {
        return false;
    }
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    if (in.bad()) {
        return false;
    }
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                       reinterpret_cast<const unsigned char*>(content.data()),
                                       content.size(), key.data()) == 0;
}

}  // namespace kasa

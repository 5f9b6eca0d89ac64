// Whether a downloaded program is the maker's: an Ed25519 signature over the whole file,
// kept next to it as 64 raw bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kasa {

using SigningPublicKey = std::array<uint8_t, 32>;

// A key written as 64 hexadecimal digits; nullopt for anything else.
std::optional<SigningPublicKey> PublicKeyFromHex(std::string_view hex);

// True only when `signature` is exactly 64 bytes and signs the whole content of the file
// at `path` under `key`. A file that cannot be read is not verified.
bool VerifyFileSignature(const std::string& path, std::string_view signature,
                         const SigningPublicKey& key);

}  // namespace kasa

#pragma once
// The publisher's ECDSA P-256 keys that the launcher trusts, and the check of
// a signature made with one of them.
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "Sha256.h"

namespace launcher {

using PublicKeyBytes = std::array<unsigned char, 64>;  // uncompressed point: X then Y, big-endian
using SignatureBytes = std::array<unsigned char, 64>;  // r then s, big-endian

class ISignatureVerifier {
public:
    virtual ~ISignatureVerifier() = default;
    // True only for a valid ECDSA P-256 signature of the digest under the key;
    // a key that is not a point of the curve verifies nothing.
    virtual bool Verify(const PublicKeyBytes& key, const Sha256Bytes& digest, const SignatureBytes& signature) = 0;
};

// The setting's value: one or more base64 keys separated by commas, blanks
// and tabs around each allowed. nullopt when any item is not base64 of 64
// bytes, or there is none.
std::optional<std::vector<PublicKeyBytes>> ParsePublisherKeys(std::string_view text);

// Base64 of exactly 64 bytes; nullopt otherwise.
std::optional<std::array<unsigned char, 64>> DecodeBase64Of64(std::string_view text);

}  // namespace launcher

#pragma once
// Signatures without cryptography: a "signature" is the digest followed by
// the first half of the key, so it binds both and any change breaks it.
#include <algorithm>

#include "launcher/PublisherKeys.h"

namespace launcher {

class FakeSignatureVerifier : public ISignatureVerifier {
public:
    static SignatureBytes Sign(const PublicKeyBytes& key, const Sha256Bytes& digest) {
        SignatureBytes signature{};
        std::copy(digest.begin(), digest.end(), signature.begin());
        std::copy(key.begin(), key.begin() + 32, signature.begin() + 32);
        return signature;
    }

    bool Verify(const PublicKeyBytes& key, const Sha256Bytes& digest, const SignatureBytes& signature) override {
        ++calls;
        return Sign(key, digest) == signature;
    }

    int calls = 0;
};

inline PublicKeyBytes TestKey(unsigned char fill) {
    PublicKeyBytes key{};
    key.fill(fill);
    return key;
}

}  // namespace launcher

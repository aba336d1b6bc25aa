#pragma once
// The publisher's signatures checked by the platform's CNG (ECDSA P-256);
// the launcher carries no cryptography of its own.
#include "launcher/PublisherKeys.h"

namespace launcher::win {

class CngSignatureVerifier final : public ISignatureVerifier {
public:
    bool Verify(const PublicKeyBytes& key, const Sha256Bytes& digest, const SignatureBytes& signature) override;
};

}  // namespace launcher::win

#pragma once
// The publisher's signatures checked by the platform's CNG (ECDSA P-256);
// the launcher carries no cryptography of its own. CNG is loaded by the first
// check: a start that checks no signature does not pay for loading it.
#include <memory>

#include "launcher/PublisherKeys.h"

namespace launcher::win {

class CngSignatureVerifier final : public ISignatureVerifier {
public:
    CngSignatureVerifier();
    ~CngSignatureVerifier() override;
    CngSignatureVerifier(const CngSignatureVerifier&) = delete;
    CngSignatureVerifier& operator=(const CngSignatureVerifier&) = delete;

    // False as well when CNG cannot be loaded: a signature nobody checked is not a good one.
    bool Verify(const PublicKeyBytes& key, const Sha256Bytes& digest, const SignatureBytes& signature) override;

private:
    struct Cng;
    std::unique_ptr<Cng> cng_;
};

}  // namespace launcher::win

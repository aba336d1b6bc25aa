#pragma once
// A publisher's ECDSA P-256 key pair on OpenSSL's libcrypto: made, kept in a
// PEM file, and used to sign the texts that the launcher verifies.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/PublisherKeys.h"

struct evp_pkey_st;

namespace publisher {

class EcKey {
public:
    // A fresh key pair; nullopt when the library fails.
    static std::optional<EcKey> Generate();
    // A PEM private key of the curve P-256; nullopt with the reason otherwise.
    static std::optional<EcKey> ReadPrivate(const std::filesystem::path& file, std::string& error);
    // The public half only, as the launcher's setting holds it.
    static std::optional<EcKey> FromPublic(const launcher::PublicKeyBytes& key);

    // PKCS #8 PEM, readable by the owner only; false with the reason.
    bool WritePrivate(const std::filesystem::path& file, std::string& error) const;
    launcher::PublicKeyBytes PublicKey() const;
    // ECDSA over SHA-256 of the text, r then s; nullopt for a public-only key.
    std::optional<launcher::SignatureBytes> Sign(std::string_view text) const;
    bool Verify(const launcher::Sha256Bytes& digest, const launcher::SignatureBytes& signature) const;

private:
    struct Free {
        void operator()(evp_pkey_st* key) const noexcept;
    };
    explicit EcKey(evp_pkey_st* key) : key_(key) {}
    std::unique_ptr<evp_pkey_st, Free> key_;
};

// The launcher's check done with libcrypto, for tools and tests on Linux.
class OpenSslVerifier final : public launcher::ISignatureVerifier {
public:
    bool Verify(const launcher::PublicKeyBytes& key, const launcher::Sha256Bytes& digest,
                const launcher::SignatureBytes& signature) override;
};

}  // namespace publisher

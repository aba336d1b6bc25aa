#include "CngSignatureVerifier.h"

#include "common/win32/WindowsApi.h"

#include <bcrypt.h>

#include <cstring>

#include "common/win32/SystemLibrary.h"

namespace launcher::win {

// CNG's entry points, from the system's own bcrypt.dll.
struct CngSignatureVerifier::Cng {
    qv::win::SystemLibrary library{L"bcrypt.dll"};
    decltype(&BCryptOpenAlgorithmProvider) openAlgorithm =
        library.Find<decltype(openAlgorithm)>("BCryptOpenAlgorithmProvider");
    decltype(&BCryptCloseAlgorithmProvider) closeAlgorithm =
        library.Find<decltype(closeAlgorithm)>("BCryptCloseAlgorithmProvider");
    decltype(&BCryptImportKeyPair) importKey = library.Find<decltype(importKey)>("BCryptImportKeyPair");
    decltype(&BCryptDestroyKey) destroyKey = library.Find<decltype(destroyKey)>("BCryptDestroyKey");
    decltype(&BCryptVerifySignature) verify = library.Find<decltype(verify)>("BCryptVerifySignature");

    bool Complete() const noexcept { return openAlgorithm && closeAlgorithm && importKey && destroyKey && verify; }
};

namespace {

constexpr ULONG kCoordinateSize = 32;

}  // namespace

CngSignatureVerifier::CngSignatureVerifier() = default;
CngSignatureVerifier::~CngSignatureVerifier() = default;

bool CngSignatureVerifier::Verify(const PublicKeyBytes& key, const Sha256Bytes& digest,
                                  const SignatureBytes& signature) {
    if (!cng_) cng_ = std::make_unique<Cng>();
    const Cng& cng = *cng_;
    if (!cng.Complete()) return false;

    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(cng.openAlgorithm(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))) return false;
    unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 2 * kCoordinateSize];
    const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kCoordinateSize};
    std::memcpy(blob, &header, sizeof header);
    std::memcpy(blob + sizeof header, key.data(), key.size());
    BCRYPT_KEY_HANDLE imported = nullptr;
    const bool keyUsable =
        BCRYPT_SUCCESS(cng.importKey(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &imported, blob, sizeof blob, 0));
    bool valid = false;
    if (keyUsable) {
        // CNG takes the buffers as non-const but does not write them.
        Sha256Bytes hash = digest;
        SignatureBytes copy = signature;
        valid = cng.verify(imported, nullptr, hash.data(), static_cast<ULONG>(hash.size()), copy.data(),
                           static_cast<ULONG>(copy.size()), 0) == 0;
        cng.destroyKey(imported);
    }
    cng.closeAlgorithm(algorithm, 0);
    return valid;
}

}  // namespace launcher::win

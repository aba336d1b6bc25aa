#include "CngSignatureVerifier.h"

#include "common/win32/WindowsApi.h"

#include <bcrypt.h>

#include <cstring>
#include <memory>
#include <type_traits>

namespace launcher::win {
namespace {

struct AlgorithmCloser {
    void operator()(void* handle) const noexcept { BCryptCloseAlgorithmProvider(handle, 0); }
};
struct KeyDestroyer {
    void operator()(void* handle) const noexcept { BCryptDestroyKey(handle); }
};
using Algorithm = std::unique_ptr<void, AlgorithmCloser>;
using Key = std::unique_ptr<void, KeyDestroyer>;

constexpr ULONG kCoordinateSize = 32;

}  // namespace

bool CngSignatureVerifier::Verify(const PublicKeyBytes& key, const Sha256Bytes& digest,
                                  const SignatureBytes& signature) {
    BCRYPT_ALG_HANDLE algorithmHandle = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithmHandle, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))) {
        return false;
    }
    const Algorithm algorithm(algorithmHandle);

    unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 2 * kCoordinateSize];
    const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kCoordinateSize};
    std::memcpy(blob, &header, sizeof header);
    std::memcpy(blob + sizeof header, key.data(), key.size());
    BCRYPT_KEY_HANDLE keyHandle = nullptr;
    if (!BCRYPT_SUCCESS(
            BCryptImportKeyPair(algorithm.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &keyHandle, blob, sizeof blob, 0))) {
        return false;
    }
    const Key imported(keyHandle);
    // CNG takes the buffers as non-const but does not write them.
    Sha256Bytes hash = digest;
    SignatureBytes copy = signature;
    return BCryptVerifySignature(imported.get(), nullptr, hash.data(), static_cast<ULONG>(hash.size()), copy.data(),
                                 static_cast<ULONG>(copy.size()), 0) == 0;
}

}  // namespace launcher::win

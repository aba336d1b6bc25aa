#include "EcKey.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/pem.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace publisher {
namespace {

constexpr const char* kCurve = "prime256v1";

template <typename T, void (*F)(T*)>
struct Deleter {
    void operator()(T* p) const noexcept { F(p); }
};
using Bignum = std::unique_ptr<BIGNUM, Deleter<BIGNUM, BN_free>>;
using Signature = std::unique_ptr<ECDSA_SIG, Deleter<ECDSA_SIG, ECDSA_SIG_free>>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, Deleter<EVP_MD_CTX, EVP_MD_CTX_free>>;
using KeyContext = std::unique_ptr<EVP_PKEY_CTX, Deleter<EVP_PKEY_CTX, EVP_PKEY_CTX_free>>;
using ParamBuilder = std::unique_ptr<OSSL_PARAM_BLD, Deleter<OSSL_PARAM_BLD, OSSL_PARAM_BLD_free>>;
using Params = std::unique_ptr<OSSL_PARAM, Deleter<OSSL_PARAM, OSSL_PARAM_free>>;

std::string LastError() {
    char text[256] = {};
    ERR_error_string_n(ERR_get_error(), text, sizeof text);
    return text;
}

bool IsP256(EVP_PKEY* key) {
    char group[64] = {};
    return EVP_PKEY_is_a(key, "EC") &&
           EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof group, nullptr) &&
           std::string_view(group) == kCurve;
}

bool BignumTo32(const BIGNUM* number, unsigned char* out) { return BN_bn2binpad(number, out, 32) == 32; }

}  // namespace

void EcKey::Free::operator()(evp_pkey_st* key) const noexcept { EVP_PKEY_free(key); }

std::optional<EcKey> EcKey::Generate() {
    EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", kCurve);
    if (!key) return std::nullopt;
    return EcKey(key);
}

std::optional<EcKey> EcKey::ReadPrivate(const std::filesystem::path& file, std::string& error) {
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) {
        error = "cannot open " + file.string();
        return std::nullopt;
    }
    EVP_PKEY* key = PEM_read_PrivateKey(in, nullptr, nullptr, nullptr);
    std::fclose(in);
    if (!key) {
        error = file.string() + " holds no PEM private key: " + LastError();
        return std::nullopt;
    }
    EcKey result(key);
    if (!IsP256(key)) {
        error = file.string() + " is not an ECDSA P-256 key";
        return std::nullopt;
    }
    return result;
}

std::optional<EcKey> EcKey::FromPublic(const launcher::PublicKeyBytes& key) {
    unsigned char point[65] = {0x04};
    std::copy(key.begin(), key.end(), point + 1);
    ParamBuilder builder(OSSL_PARAM_BLD_new());
    if (!builder || !OSSL_PARAM_BLD_push_utf8_string(builder.get(), OSSL_PKEY_PARAM_GROUP_NAME, kCurve, 0) ||
        !OSSL_PARAM_BLD_push_octet_string(builder.get(), OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point)) {
        return std::nullopt;
    }
    Params params(OSSL_PARAM_BLD_to_param(builder.get()));
    KeyContext context(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    EVP_PKEY* made = nullptr;
    if (!params || !context || EVP_PKEY_fromdata_init(context.get()) <= 0 ||
        EVP_PKEY_fromdata(context.get(), &made, EVP_PKEY_PUBLIC_KEY, params.get()) <= 0) {
        return std::nullopt;
    }
    return EcKey(made);
}

bool EcKey::WritePrivate(const std::filesystem::path& file, std::string& error) const {
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (descriptor < 0) {
        error = "cannot create " + file.string() + " (it must not exist yet)";
        return false;
    }
    std::FILE* out = ::fdopen(descriptor, "wb");
    const bool written = out && PEM_write_PrivateKey(out, key_.get(), nullptr, nullptr, 0, nullptr, nullptr);
    const bool closed = out ? std::fclose(out) == 0 : ::close(descriptor) == 0;
    if (!written || !closed) {
        error = "cannot write " + file.string();
        std::filesystem::remove(file);
        return false;
    }
    return true;
}

launcher::PublicKeyBytes EcKey::PublicKey() const {
    launcher::PublicKeyBytes bytes{};
    BIGNUM* x = nullptr;
    BIGNUM* y = nullptr;
    EVP_PKEY_get_bn_param(key_.get(), OSSL_PKEY_PARAM_EC_PUB_X, &x);
    EVP_PKEY_get_bn_param(key_.get(), OSSL_PKEY_PARAM_EC_PUB_Y, &y);
    const Bignum ownX(x), ownY(y);
    if (x && y) {
        BignumTo32(x, bytes.data());
        BignumTo32(y, bytes.data() + 32);
    }
    return bytes;
}

std::optional<launcher::SignatureBytes> EcKey::Sign(std::string_view text) const {
    DigestContext context(EVP_MD_CTX_new());
    std::size_t length = 0;
    if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key_.get()) <= 0 ||
        EVP_DigestSign(context.get(), nullptr, &length, reinterpret_cast<const unsigned char*>(text.data()),
                       text.size()) <= 0) {
        return std::nullopt;
    }
    std::string der(length, '\0');
    auto* out = reinterpret_cast<unsigned char*>(der.data());
    if (EVP_DigestSign(context.get(), out, &length, reinterpret_cast<const unsigned char*>(text.data()), text.size()) <=
        0) {
        return std::nullopt;
    }
    const unsigned char* in = out;
    const Signature signature(d2i_ECDSA_SIG(nullptr, &in, static_cast<long>(length)));
    launcher::SignatureBytes bytes{};
    if (!signature || !BignumTo32(ECDSA_SIG_get0_r(signature.get()), bytes.data()) ||
        !BignumTo32(ECDSA_SIG_get0_s(signature.get()), bytes.data() + 32)) {
        return std::nullopt;
    }
    return bytes;
}

bool EcKey::Verify(const launcher::Sha256Bytes& digest, const launcher::SignatureBytes& signature) const {
    Signature parts(ECDSA_SIG_new());
    Bignum r(BN_bin2bn(signature.data(), 32, nullptr));
    Bignum s(BN_bin2bn(signature.data() + 32, 32, nullptr));
    if (!parts || !r || !s || !ECDSA_SIG_set0(parts.get(), r.get(), s.get())) return false;
    r.release();
    s.release();
    unsigned char* der = nullptr;
    const int length = i2d_ECDSA_SIG(parts.get(), &der);
    if (length <= 0) return false;
    KeyContext context(EVP_PKEY_CTX_new(key_.get(), nullptr));
    const bool valid =
        context && EVP_PKEY_verify_init(context.get()) > 0 &&
        EVP_PKEY_verify(context.get(), der, static_cast<std::size_t>(length), digest.data(), digest.size()) == 1;
    OPENSSL_free(der);
    return valid;
}

bool OpenSslVerifier::Verify(const launcher::PublicKeyBytes& key, const launcher::Sha256Bytes& digest,
                             const launcher::SignatureBytes& signature) {
    const auto publicKey = EcKey::FromPublic(key);
    return publicKey && publicKey->Verify(digest, signature);
}

}  // namespace publisher

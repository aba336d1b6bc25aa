#include "launcher/win32/CngSignatureVerifier.h"

#include <gtest/gtest.h>

#include "launcher/FileSignature.h"

namespace launcher::win {
namespace {

// Made with qv-publisher and checked with the openssl command, so that the
// platform's verifier is held against an independent signer.
constexpr const char* kKey = "qKW5P80rMrIS8bbnOtV6Sbf5152RLXzGYx8Xvnp43aqHiH+MlqVSOPG3i9eqiXBTbZTMyL2z1IQkKtWLIcBh0g==";
constexpr const char* kSignature =
    "HpNz0in8IDGsH9XI7wKsWoJ2icO+ktM11sfXnGM8PPuxEI+e/T+esTWaKpDEd6GNF+psdjvC4Prfi0LZRR+duw==";
const SignedFieldTexts kFields = {"Lumen_Control.ocx", "7", "[SYS_PATH]", "http://127.0.0.1:8080/download", "1", "0",
                                  std::string(64, '0')};

class CngSignatureVerifierTest : public ::testing::Test {
protected:
    CngSignatureVerifier verifier;
    PublicKeyBytes key = *DecodeBase64Of64(kKey);
    SignatureBytes signature = *DecodeBase64Of64(kSignature);
    Sha256Bytes digest = FileSigningDigest(kFields);
};

TEST_F(CngSignatureVerifierTest, AcceptsTheSignatureOfTheEntry) {
    EXPECT_TRUE(verifier.Verify(key, digest, signature));
}

TEST_F(CngSignatureVerifierTest, RefusesAnyOtherEntrySignatureOrKey) {
    SignedFieldTexts moved = kFields;
    moved[2] = "[CUR_PATH]";
    EXPECT_FALSE(verifier.Verify(key, FileSigningDigest(moved), signature));
    for (const std::size_t byte : {std::size_t{0}, std::size_t{31}, std::size_t{32}, std::size_t{63}}) {
        SignatureBytes tampered = signature;
        tampered[byte] ^= 0x01;
        EXPECT_FALSE(verifier.Verify(key, digest, tampered)) << byte;
    }
    // Zero is outside the range of r and s.
    EXPECT_FALSE(verifier.Verify(key, digest, SignatureBytes{}));
    PublicKeyBytes offCurve = key;
    offCurve[63] ^= 0x01;
    EXPECT_FALSE(verifier.Verify(offCurve, digest, signature));
    EXPECT_FALSE(verifier.Verify(PublicKeyBytes{}, digest, signature));
}

}  // namespace
}  // namespace launcher::win

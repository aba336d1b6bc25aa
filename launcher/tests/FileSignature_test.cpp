#include "launcher/FileSignature.h"

#include <gtest/gtest.h>

#include <string>

#include "launcher/Base64.h"
#include "launcher/tests/support/FakeSignatureVerifier.h"

namespace launcher {
namespace {

const SignedFieldTexts kFields = {"Lumen_Control.ocx", "7", "[SYS_PATH]", "http://127.0.0.1:8080/download", "1", "0",
                                  std::string(64, '0')};

TEST(FileSigningText, LabelThenTheSevenFieldsOnePerLineWithoutAFinalLineFeed) {
    EXPECT_EQ(FileSigningText(kFields),
              "quorvel-file-v1\nLumen_Control.ocx\n7\n[SYS_PATH]\nhttp://127.0.0.1:8080/download\n1\n0\n" +
                  std::string(64, '0'));
    EXPECT_EQ(FileSigningText({}), "quorvel-file-v1\n\n\n\n\n\n\n");
}

TEST(FileSigningText, OnlyBlanksTabsCrAndLfAroundAFieldAreDropped) {
    SignedFieldTexts padded = kFields;
    padded[0] = " \t\r\nLumen_Control.ocx\n\r\t ";
    EXPECT_EQ(FileSigningText(padded), FileSigningText(kFields));
    padded[0] = "Lumen Control.ocx";  // inside a text nothing changes
    EXPECT_NE(FileSigningText(padded).find("\nLumen Control.ocx\n"), std::string::npos);
    padded[0] = "\vLumen_Control.ocx\f";  // nor other control characters
    EXPECT_NE(FileSigningText(padded), FileSigningText(kFields));
}

TEST(FileSigningDigest, IsSha256OfTheUtf8Text) {
    // Published in the README for other implementations; computed independently.
    const auto digest = FileSigningDigest(kFields);
    std::string hex;
    for (unsigned char byte : digest) hex += "0123456789abcdef"[byte >> 4], hex += "0123456789abcdef"[byte & 15];
    EXPECT_EQ(hex, "b868e68d96e1fff1b259c99f63b47753785663152257e3fa5f6ce7c2f03853aa");
}

class IsSignedEntryTest : public ::testing::Test {
protected:
    FakeSignatureVerifier verifier;
    AnswerSigning signing{{TestKey(1), TestKey(2)}, verifier};

    static std::string SignatureText(const PublicKeyBytes& key, const SignedFieldTexts& fields) {
        const auto signature = FakeSignatureVerifier::Sign(key, FileSigningDigest(fields));
        return EncodeBase64(signature.data(), signature.size());
    }
};

TEST_F(IsSignedEntryTest, AnyConfiguredKeyWillDo) {
    EXPECT_TRUE(IsSignedEntry(kFields, SignatureText(TestKey(1), kFields), signing));
    EXPECT_TRUE(IsSignedEntry(kFields, SignatureText(TestKey(2), kFields), signing));
    EXPECT_FALSE(IsSignedEntry(kFields, SignatureText(TestKey(3), kFields), signing));
    // The element's text may be surrounded by line breaks, as a pretty-printed answer has it.
    EXPECT_TRUE(IsSignedEntry(kFields, "\n  " + SignatureText(TestKey(2), kFields) + "\n", signing));
}

TEST_F(IsSignedEntryTest, EveryFieldIsCovered) {
    const std::string signature = SignatureText(TestKey(1), kFields);
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        SignedFieldTexts changed = kFields;
        changed[i] += "x";
        EXPECT_FALSE(IsSignedEntry(changed, signature, signing)) << kSignedFields[i];
    }
}

TEST_F(IsSignedEntryTest, AFieldWithALineFeedInsideIsRefusedEvenWhenSigned) {
    // Otherwise ("a\nb", "c") and ("a", "b\nc") would share one text and one signature.
    SignedFieldTexts split = kFields;
    split[1] = "7\n[SYS_PATH]";
    split[2] = "http://127.0.0.1:8080/download";
    EXPECT_FALSE(IsSignedEntry(split, SignatureText(TestKey(1), split), signing));
    split = kFields;
    split[5] = "0\r\n" + split[6];
    EXPECT_FALSE(IsSignedEntry(split, SignatureText(TestKey(1), split), signing));
}

TEST_F(IsSignedEntryTest, AMalformedSignatureIsRefusedWithoutAsking) {
    const std::string good = SignatureText(TestKey(1), kFields);
    for (const std::string& text : {std::string(), good.substr(4), good + "AAAA", std::string(88, '!')}) {
        EXPECT_FALSE(IsSignedEntry(kFields, text, signing)) << text;
    }
    EXPECT_EQ(verifier.calls, 0);
}

TEST_F(IsSignedEntryTest, NoKeysAcceptNothing) {
    AnswerSigning none{{}, verifier};
    EXPECT_FALSE(IsSignedEntry(kFields, SignatureText(TestKey(1), kFields), none));
}

}  // namespace
}  // namespace launcher

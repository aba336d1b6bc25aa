// Reading the update service's answer when the launcher has publisher keys.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "launcher/Base64.h"
#include "launcher/FileSignature.h"
#include "launcher/modWeb.h"
#include "launcher/tests/support/FakeSignatureVerifier.h"
#include "launcher/tests/support/FakeXml.h"

namespace launcher {
namespace {

const std::string kDigest(64, 'a');

class SignedAnswerTest : public ::testing::Test {
protected:
    FakeSignatureVerifier verifier;
    AnswerSigning signing{{TestKey(1), TestKey(2)}, verifier};
    clsProgramFiles files;

    using Fields = std::map<std::string, std::string>;

    static Fields Entry(const std::string& name) {
        return {{"cFileName", name},
                {"cVersion", "2"},
                {"cFilePath", "[CUR_PATH]"},
                {"cDownLoadPath", "http://127.0.0.1/d"},
                {"cIfReg", "1"},
                {"cIfPrivate", "0"},
                {"cSHA256", kDigest}};
    }

    static std::string Signature(const Fields& fields, const PublicKeyBytes& key) {
        SignedFieldTexts texts;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const auto found = fields.find(kSignedFields[i]);
            if (found != fields.end()) texts[i] = found->second;
        }
        const auto signature = FakeSignatureVerifier::Sign(key, FileSigningDigest(texts));
        return EncodeBase64(signature.data(), signature.size());
    }

    static Fields Signed(Fields fields, const PublicKeyBytes& key = TestKey(1)) {
        fields["cSignature"] = Signature(fields, key);
        return fields;
    }

    static FakeXmlElement File(const Fields& fields) {
        std::vector<FakeXmlElement> children;
        for (const auto& [name, text] : fields) children.push_back(El(name, text));
        return El("File", std::move(children));
    }

    bool Read(const std::vector<Fields>& entries, const AnswerSigning* with) {
        std::vector<FakeXmlElement> list;
        for (const auto& entry : entries) list.push_back(File(entry));
        const FakeXmlDocument document(El(
            "quorvel", {El("result", {El("errorCode", "1"), El("errorMessage", "")}), El("ProgramFilesList", list)}));
        files = clsProgramFiles();
        return ReadProgramFilesAnswer(document, files, with);
    }
};

TEST_F(SignedAnswerTest, EntriesSignedByAnyKeyAreRead) {
    ASSERT_TRUE(Read({Signed(Entry("a.dll")), Signed(Entry("b.exe"), TestKey(2))}, &signing));
    ASSERT_EQ(files.Count(), 2);
    EXPECT_EQ(files.Item(1)->cFilePath, "[CUR_PATH]");
    EXPECT_TRUE(files.Item(1)->cIfReg);
    EXPECT_EQ(files.Item(2)->cSHA256, kDigest);
}

TEST_F(SignedAnswerTest, OneBadEntryMakesTheWholeAnswerUnreadable) {
    const Fields good = Signed(Entry("a.dll"));
    std::vector<Fields> bad;
    for (const auto* name : kSignedFields) {
        Fields changed = good;
        changed[name] += "0";
        bad.push_back(changed);
    }
    Fields systemFolder = good;
    systemFolder["cFilePath"] = "[SYS_PATH]";
    bad.push_back(systemFolder);
    Fields unsigned_ = good;
    unsigned_.erase("cSignature");
    bad.push_back(unsigned_);
    Fields otherEntrys = good;
    otherEntrys["cSignature"] = Signed(Entry("b.dll"))["cSignature"];
    bad.push_back(otherEntrys);
    Fields otherKey = Signed(Entry("a.dll"), TestKey(3));
    bad.push_back(otherKey);
    // Signed without a digest, the archive could be anything.
    Fields noDigest = Entry("a.dll");
    noDigest.erase("cSHA256");
    bad.push_back(Signed(noDigest));

    for (const auto& entry : bad) {
        EXPECT_FALSE(Read({Signed(Entry("first.dll")), entry}, &signing));
        EXPECT_EQ(files.Count(), 1) << "entries after the bad one are not read";
    }
}

TEST_F(SignedAnswerTest, ASignedEntryIsUsedAsSignedWhateverBlanksSurroundItsTexts) {
    Fields padded = Signed(Entry("a.dll"));
    padded["cIfReg"] = "\n 1 \t";
    padded["cFilePath"] = "  [CUR_PATH]\r\n";
    ASSERT_TRUE(Read({padded}, &signing));
    EXPECT_TRUE(files.Item(1)->cIfReg);
    EXPECT_EQ(files.Item(1)->cFilePath, "[CUR_PATH]");
}

TEST_F(SignedAnswerTest, WithoutKeysSignaturesAreNotLookedAt) {
    Fields unsigned_ = Entry("a.dll");
    unsigned_.erase("cSHA256");
    Fields garbage = Entry("b.dll");
    garbage["cSignature"] = "not a signature";
    garbage["cIfReg"] = " 1";  // read as before: unchanged text, so not "1"
    ASSERT_TRUE(Read({unsigned_, garbage}, nullptr));
    EXPECT_FALSE(files.Item(2)->cIfReg);
    EXPECT_EQ(verifier.calls, 0);
}

}  // namespace
}  // namespace launcher

// The faults that change a signed answer, and the stand-in's signing.
#include <gtest/gtest.h>

#include "launcher/FileSignature.h"
#include "publisher/EcKey.h"
#include "testbed/update-service/CatalogueSigning.h"
#include "testbed/update-service/Faults.h"
#include "launcher/Base64.h"

namespace testbed {
namespace {

const CatalogueFile kFirst = {{"cFileName", "a.dll"}, {"cVersion", "3"}, {"cSignature", "sig-a"}};
const CatalogueFile kSecond = {{"cFileName", "b.dll"}, {"cSignature", "sig-b"}};

std::string Reply(std::initializer_list<const char*> kinds) {
    Faults faults;
    for (const auto* kind : kinds) EXPECT_TRUE(AddFault(faults, kind)) << kind;
    return ReplyWithFaults(faults, {true, 1, "", true, {kFirst, kSecond}}).body;
}

TEST(AnswerChanges, ParseTheirPositionsAndKeepColonsInTheText) {
    Faults faults;
    ASSERT_TRUE(AddFault(faults, "change:2:cDownLoadPath:http://127.0.0.1:80/d"));
    ASSERT_EQ(faults.changes.size(), 1u);
    EXPECT_EQ(faults.changes[0].file, 2u);
    EXPECT_EQ(faults.changes[0].name, "cDownLoadPath");
    EXPECT_EQ(faults.changes[0].text, "http://127.0.0.1:80/d");
    ASSERT_TRUE(AddFault(faults, "copy-signature:2:1"));
    EXPECT_EQ(faults.signatureCopy->from, 2u);
    for (const auto* kind : {"change:0:cVersion:1", "change:1:cVersion", "change:1::x", "change:x:cVersion:1",
                             "copy-signature:1", "copy-signature:1:0", "copy-signature:a:b", "change"}) {
        Faults refused;
        EXPECT_FALSE(AddFault(refused, kind)) << kind;
    }
}

TEST(AnswerChanges, ChangeOrAddAFieldOfOneFile) {
    const std::string body = Reply({"change:1:cVersion:4", "change:2:cFilePath:[SYS_PATH]", "change:9:cVersion:1"});
    EXPECT_NE(body.find("<cFileName>a.dll</cFileName><cVersion>4</cVersion>"), std::string::npos) << body;
    EXPECT_NE(body.find("<cSignature>sig-b</cSignature><cFilePath>[SYS_PATH]</cFilePath>"), std::string::npos) << body;
}

TEST(AnswerChanges, CopyOneFilesSignatureOntoAnother) {
    const std::string body = Reply({"copy-signature:1:2"});
    EXPECT_NE(body.find("<cFileName>b.dll</cFileName><cSignature>sig-a</cSignature>"), std::string::npos) << body;
}

TEST(SignCatalogue, SignsTheFieldsAsTheLauncherReadsThemAndKeepsGivenSignatures) {
    Catalogue catalogue{"c", "s", {{{"cFileName", "a.dll"}, {"cSHA256", std::string(64, 'b')}}, kSecond}};
    const auto key = publisher::EcKey::Generate();
    ASSERT_TRUE(SignCatalogue(catalogue, *key));
    ASSERT_EQ(catalogue.files[0].back().name, "cSignature");
    const auto signature = launcher::DecodeBase64Of64(catalogue.files[0].back().text);
    ASSERT_TRUE(signature);
    launcher::SignedFieldTexts fields;
    fields[0] = "a.dll";
    fields[6] = std::string(64, 'b');
    EXPECT_TRUE(key->Verify(launcher::FileSigningDigest(fields), *signature));
    ASSERT_EQ(catalogue.files[1].size(), kSecond.size());
    EXPECT_EQ(catalogue.files[1].back().text, "sig-b");
}

}  // namespace
}  // namespace testbed

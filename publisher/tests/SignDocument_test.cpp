#include "publisher/SignDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "launcher/modWeb.h"
#include "launcher/tests/xml/support/PugiXmlDocument.h"

namespace publisher {
namespace {

constexpr const char* kAnswer =
    "<quorvel><result><errorCode>1</errorCode><errorMessage/></result><ProgramFilesList>"
    "<File><cFileName>a.dll</cFileName><cVersion>2</cVersion><cFilePath>[CUR_PATH]</cFilePath>"
    "<cDownLoadPath>http://127.0.0.1/d</cDownLoadPath><cIfReg>1</cIfReg><cIfPrivate>0</cIfPrivate></File>"
    "<File><cFileName>b &amp; c.dat</cFileName><cVersion>3</cVersion>"
    "<cSignature>old</cSignature></File>"
    "</ProgramFilesList></quorvel>";

class SignDocumentTest : public ::testing::Test {
protected:
    std::filesystem::path archives =
        std::filesystem::temp_directory_path() / ("qv-sign-" + std::to_string(::getpid()) + "-" +
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    EcKey key = *EcKey::Generate();
    OpenSslVerifier verifier;
    pugi::xml_document document;

    void SetUp() override {
        std::filesystem::create_directories(archives);
        std::ofstream(archives / "a.dll.comps") << "first archive";
        std::ofstream(archives / "b & c.dat.comps") << "second archive";
        ASSERT_TRUE(document.load_string(kAnswer));
    }
    void TearDown() override { std::filesystem::remove_all(archives); }

    std::string Saved() const {
        std::ostringstream out;
        document.save(out, "", pugi::format_raw);
        return out.str();
    }

    // What the launcher makes of the signed document, read by the core's own reader.
    bool LauncherAccepts(const std::vector<launcher::PublicKeyBytes>& keys) {
        const auto parsed = launcher::ParseXmlDocument(Saved());
        launcher::clsProgramFiles files;
        const launcher::AnswerSigning signing{keys, verifier};
        return launcher::ReadProgramFilesAnswer(*parsed, files, &signing) && files.Count() == 2;
    }
};

TEST_F(SignDocumentTest, TheLauncherAcceptsWhatTheToolSigned) {
    std::string error;
    EXPECT_EQ(SignDocument(document, key, archives, error), 2) << error;
    EXPECT_STREQ(document.select_node("//File[2]/cSHA256").node().text().as_string(),
                 "cb7469f44122ba751d137a8fef6a36b8e56c6b524a35d7abfa7677955a252a4d");
    EXPECT_TRUE(LauncherAccepts({EcKey::Generate()->PublicKey(), key.PublicKey()}));
    EXPECT_FALSE(LauncherAccepts({EcKey::Generate()->PublicKey()}));
    EXPECT_TRUE(CheckDocument(document, {{key.PublicKey()}, verifier}).empty());
}

TEST_F(SignDocumentTest, AChangeAfterSigningIsFoundByTheCheckAndTheLauncher) {
    std::string error;
    ASSERT_TRUE(SignDocument(document, key, archives, error));
    document.select_node("//File[1]/cFilePath").node().text().set("[SYS_PATH]");
    const auto problems = CheckDocument(document, {{key.PublicKey()}, verifier});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind("a.dll:", 0), 0u) << problems[0];
    EXPECT_FALSE(LauncherAccepts({key.PublicKey()}));
}

TEST_F(SignDocumentTest, EntriesWithoutADigestOrWithAnArchiveMissingAreNotSigned) {
    std::string error;
    EXPECT_FALSE(SignDocument(document, key, std::nullopt, error));
    EXPECT_NE(error.find("cSHA256"), std::string::npos);
    std::filesystem::remove(archives / "b & c.dat.comps");
    EXPECT_FALSE(SignDocument(document, key, archives, error));
    EXPECT_NE(error.find("b & c.dat.comps"), std::string::npos);
}

TEST_F(SignDocumentTest, AFieldWithALineBreakInsideIsNotSigned) {
    document.select_node("//File[1]/cFilePath").node().text().set("[CUR_PATH]\nTools");
    std::string error;
    EXPECT_FALSE(SignDocument(document, key, archives, error));
    EXPECT_NE(error.find("line break"), std::string::npos);
}

}  // namespace
}  // namespace publisher

#include "launcher/modWeb.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "launcher/tests/support/FakeHttpClient.h"
#include "launcher/tests/support/FakeRandom.h"
#include "launcher/tests/support/FakeXml.h"
#include "launcher/modMD5.h"

namespace launcher {
namespace {

const std::string kSalt = "qv.sign.secret";

std::string Query(const std::string& cid, const std::string& rnd, const std::string& db,
                  const std::string& signedText) {
    return "?cid=" + cid + "&rnd=" + rnd + "&db=" + db + "&sign=" + MD5Hex(signedText).value();
}

TEST(GetSignedQuery, SignsSaltLowerCodeRndLowerDb) {
    FakeRandom random({0.0f});
    EXPECT_EQ(GetSignedQuery("ABC", "", kSalt, random), "?cid=ABC&rnd=0&db=&sign=f57e78d77928ceb4fc633385702475ad");
}

TEST(GetSignedQuery, RndIsRoundedHalfToEvenInDoublePrecision) {
    struct Case {
        float r;
        const char* rnd;
    };
    const Case cases[] = {
        {0.99999994f, "9999999"},           // largest r below 1
        {0.00390625f, "39062"},             // 39062.5
        {0.01171875f, "117188"},            // 117187.5
        {5e-7f, "5"},                       // 4.99999987, no leading zeros
        {0.012300250120460987f, "123003"},  // 123002.5012 in double; a single product would give 123002.5
    };
    for (const Case& c : cases) {
        FakeRandom random({c.r});
        EXPECT_EQ(GetSignedQuery("abc", "", kSalt, random), Query("abc", c.rnd, "", kSalt + "abc" + c.rnd)) << c.r;
    }
}

TEST(GetSignedQuery, SendsCodeAndDbUnescapedAndAsGiven) {
    FakeRandom random({5e-7f});
    EXPECT_EQ(GetSignedQuery("A&b=C#d e", "MyDb", kSalt, random),
              Query("A&b=C#d e", "5", "MyDb", kSalt + "a&b=c#d e5mydb"));
}

TEST(GetSignedQuery, DrawsAFreshRndForEachCall) {
    FakeRandom random({0.5f, 0.25f});
    EXPECT_EQ(GetSignedQuery("abc", "", kSalt, random), Query("abc", "5000000", "", kSalt + "abc5000000"));
    EXPECT_EQ(GetSignedQuery("abc", "", kSalt, random), Query("abc", "2500000", "", kSalt + "abc2500000"));
}

class GetProgramFilesTest : public ::testing::Test {
protected:
    FakeHttpClient http;
    FakeRandom random{{0.0f}};
    UpdateService service{http, random, "http://update.example", kSalt};
    std::shared_ptr<clsProgramFiles> previous = std::make_shared<clsProgramFiles>();
    std::shared_ptr<clsProgramFiles> files = previous;

    static FakeXmlElement Result(const std::string& code) {
        return El("result", {El("errorCode", code), El("errorMessage", "msg")});
    }
    void Answer(FakeXmlElement root) { http.QueueDocument(std::make_unique<FakeXmlDocument>(std::move(root))); }
};

TEST_F(GetProgramFilesTest, RequestsTheSignedUrlAndReadsTheAnswer) {
    Answer(El("quorvel",
              {Result("2"),
               El("ProgramFilesList", {El("File", {El("cFileName", "a.dll"), El("cVersion", "7"), El("cIfReg", "1")}),
                                       El("File", {El("cFileName", "b.exe")})})}));
    ASSERT_TRUE(GetProgramFiles(service, "ABC", files, ""));
    ASSERT_EQ(http.Urls().size(), 1u);
    EXPECT_EQ(http.Urls()[0], "http://update.example/api/GetProgramFiles.ashx" + Query("ABC", "0", "", kSalt + "abc0"));
    EXPECT_NE(files, previous);
    EXPECT_EQ(files->ErrorCode, 2);  // a refusal is still a readable answer
    EXPECT_EQ(files->ErrorMessage, "msg");
    ASSERT_EQ(files->Count(), 2);
    EXPECT_EQ(files->Item(1)->cFileName, "a.dll");
    EXPECT_EQ(files->Item(1)->cVersion, 7);
    EXPECT_TRUE(files->Item(1)->cIfReg);
    EXPECT_EQ(files->Item(2)->cVersion, 0);
}

TEST_F(GetProgramFilesTest, AnArchiveDigestIsOptionalButMustBe64HexDigits) {
    const std::string upper = "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855";
    Answer(El("quorvel",
              {Result("1"), El("ProgramFilesList", {El("File", {El("cFileName", "a.dll"), El("cSHA256", upper)}),
                                                    El("File", {El("cFileName", "b.exe")})})}));
    ASSERT_TRUE(GetProgramFiles(service, "ABC", files, ""));
    EXPECT_EQ(files->Item(1)->cSHA256, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(files->Item(2)->cSHA256, "");

    for (const std::string bad : {std::string(), upper.substr(1), upper + "0", upper.substr(1) + "x"}) {
        Answer(El("quorvel",
                  {Result("1"), El("ProgramFilesList", {El("File", {El("cFileName", "a.dll"), El("cSHA256", bad)})})}));
        EXPECT_FALSE(GetProgramFiles(service, "ABC", files, "")) << bad;
    }
}

TEST_F(GetProgramFilesTest, HttpFailureLeavesTheReferenceAlone) {
    http.QueueFailure();
    EXPECT_FALSE(GetProgramFiles(service, "ABC", files, ""));
    EXPECT_EQ(files, previous);
}

TEST_F(GetProgramFilesTest, UnreadableAnswerStillReplacesTheReference) {
    http.QueueDocument(std::make_unique<FakeXmlDocument>());  // not XML: no nodes
    EXPECT_FALSE(GetProgramFiles(service, "ABC", files, ""));
    ASSERT_NE(files, previous);
    EXPECT_EQ(files->Count(), 0);
}

TEST_F(GetProgramFilesTest, CodeThatCannotBeSignedSendsNothing) {
    Answer(El("quorvel", {Result("1")}));
    EXPECT_FALSE(GetProgramFiles(service, "客户", files, ""));
    EXPECT_TRUE(http.Urls().empty());
    EXPECT_EQ(files, previous);
}

}  // namespace
}  // namespace launcher

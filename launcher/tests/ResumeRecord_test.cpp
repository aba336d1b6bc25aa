#include "launcher/ResumeRecord.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

const std::string kUrl = "http://127.0.0.1:8080/download/a.dll.comps";
const std::string kDigest(64, 'a');

TEST(ResumeRecordText, KeepsEveryFieldAndRefusesAnythingElse) {
    const ResumeRecord record{kUrl, 52428800, kDigest, "\"v1\"", "Tue, 08 Dec 2026 10:00:00 GMT"};
    EXPECT_EQ(ParseResumeRecord(FormatResumeRecord(record)), record);

    const std::string whole = FormatResumeRecord(record);
    for (std::size_t cut = 0; cut < whole.size() - 2; cut += 7) {
        EXPECT_FALSE(ParseResumeRecord(whole.substr(0, cut))) << cut;
    }
    EXPECT_FALSE(ParseResumeRecord("quorvel-resume-1\r\nurl=x\r\nlength=-5\r\nend\r\n"));
    EXPECT_FALSE(ParseResumeRecord("quorvel-resume-1\r\nurl=x\r\nlength=0\r\nend\r\n"));
    EXPECT_FALSE(ParseResumeRecord("quorvel-resume-1\r\nurl=\r\nlength=10\r\nend\r\n"));
    EXPECT_FALSE(ParseResumeRecord("quorvel-resume-1\r\nlength=10\r\nend\r\n"));
    EXPECT_FALSE(ParseResumeRecord("quorvel-resume-1\r\nurl=x\r\nlength=1e3\r\nend\r\n"));
    EXPECT_FALSE(ParseResumeRecord("other\r\nurl=x\r\nlength=10\r\nend\r\n"));
}

struct ConditionCase {
    const char* name;
    ResumeRecord record;
    std::string url;
    std::string sha256;
    std::int64_t partial;
    std::optional<std::string> expected;
};

class ResumeConditionTest : public ::testing::TestWithParam<ConditionCase> {};

TEST_P(ResumeConditionTest, ResumesOnlyWhatCannotHaveChangedUnnoticed) {
    const auto& c = GetParam();
    EXPECT_EQ(ResumeCondition(c.record, c.url, c.sha256, c.partial), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResumeConditionTest,
    ::testing::Values(
        ConditionCase{"DigestAlone", {kUrl, 100, kDigest, "", ""}, kUrl, kDigest, 30, std::string()},
        ConditionCase{"DigestAndTag", {kUrl, 100, kDigest, "\"x\"", ""}, kUrl, kDigest, 30, std::string("\"x\"")},
        ConditionCase{"TagAlone", {kUrl, 100, "", "\"x\"", "Mon"}, kUrl, "", 30, std::string("\"x\"")},
        ConditionCase{"DateAlone", {kUrl, 100, "", "", "Mon"}, kUrl, "", 30, std::string("Mon")},
        ConditionCase{"WeakTagFallsBackToTheDate", {kUrl, 100, "", "W/\"x\"", "Mon"}, kUrl, "", 30, std::string("Mon")},
        ConditionCase{"WeakTagAlone", {kUrl, 100, "", "W/\"x\"", ""}, kUrl, "", 30, std::nullopt},
        ConditionCase{"NothingToCheckWith", {kUrl, 100, "", "", ""}, kUrl, "", 30, std::nullopt},
        ConditionCase{"OtherUrl", {kUrl, 100, kDigest, "", ""}, kUrl + "x", kDigest, 30, std::nullopt},
        ConditionCase{"DigestChanged", {kUrl, 100, kDigest, "", ""}, kUrl, std::string(64, 'b'), 30, std::nullopt},
        ConditionCase{"DigestNowSent", {kUrl, 100, "", "\"x\"", ""}, kUrl, kDigest, 30, std::nullopt},
        ConditionCase{"NothingYet", {kUrl, 100, kDigest, "", ""}, kUrl, kDigest, 0, std::nullopt},
        ConditionCase{"AlreadyWhole", {kUrl, 100, kDigest, "", ""}, kUrl, kDigest, 100, std::nullopt},
        ConditionCase{"LongerThanAnnounced", {kUrl, 100, kDigest, "", ""}, kUrl, kDigest, 150, std::nullopt},
        ConditionCase{"MissingPartial", {kUrl, 100, kDigest, "", ""}, kUrl, kDigest, -1, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ContentRangeText, OnlyExactlyTheRestContinues) {
    EXPECT_TRUE(RangeContinues("bytes 30-99/100", 30, 100));
    EXPECT_FALSE(RangeContinues("bytes 31-99/100", 30, 100));
    EXPECT_FALSE(RangeContinues("bytes 30-98/100", 30, 100));
    EXPECT_FALSE(RangeContinues("bytes 30-99/101", 30, 100));
    EXPECT_FALSE(RangeContinues("bytes 30-99/*", 30, 100));
    EXPECT_FALSE(RangeContinues("", 30, 100));
    EXPECT_FALSE(RangeContinues("items 30-99/100", 30, 100));
    EXPECT_FALSE(RangeContinues("bytes 99-30/100", 30, 100));
    EXPECT_FALSE(ParseContentRange("bytes 0-100/100"));
    EXPECT_FALSE(ParseContentRange("bytes -1-5/10"));
}

}  // namespace
}  // namespace launcher

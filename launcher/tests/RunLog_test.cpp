#include "launcher/RunLog.h"

#include <gtest/gtest.h>

#include "launcher/ExitStatus.h"

namespace launcher {
namespace {

TEST(FormatRunLogLine, TimeAndProcessIdThenTheEventOnOneLine) {
    const LogTimestamp time{2026, 3, 1, 8, 5, 9, 42};
    EXPECT_EQ(FormatRunLogLine(time, 1234, "request GET http://h/x", {}),
              "2026-03-01 08:05:09.042 [1234] request GET http://h/x\r\n");
    EXPECT_EQ(FormatRunLogLine(time, 4294967295u, "", {}), "2026-03-01 08:05:09.042 [4294967295] \r\n");
}

TEST(FormatRunLogLine, ControlCharactersAreEscapedSoAnEventStaysOneLine) {
    const std::string line = FormatRunLogLine({}, 1, "a\r\nb\tc\x01\x7F 中文", {});
    EXPECT_EQ(line.substr(line.find("] ") + 2), "a\\r\\nb\\tc\\x01\\x7F 中文\r\n");
}

TEST(FormatRunLogLine, EverySecretIsMaskedWhereverItStands) {
    const std::vector<std::string> secrets = {"abcd.efgh", "", "s3cr3t"};
    const std::string line = FormatRunLogLine({}, 1, "abcd.efgh x abcd.efghabcd.efgh s3cr3t\n", secrets);
    EXPECT_EQ(line.find("abcd"), std::string::npos);
    EXPECT_EQ(line.find("s3cr3t"), std::string::npos);
    EXPECT_NE(line.find("*** x ****** ***\\n"), std::string::npos) << line;
    // A secret that is part of the mask cannot loop.
    EXPECT_EQ(FormatRunLogLine({}, 1, "**", {"*"}), "0000-00-00 00:00:00.000 [1] ******\r\n");
}

TEST(WithoutSignature, OnlyTheSignValueIsMasked) {
    const struct {
        const char* url;
        const char* logged;
    } cases[] = {
        {"http://h/api/GetProgramFiles.ashx?cid=S&rnd=5&db=&sign=0123abcd",
         "http://h/api/GetProgramFiles.ashx?cid=S&rnd=5&db=&sign=***"},
        {"http://h/a?sign=0123&cid=S", "http://h/a?sign=***&cid=S"},
        {"http://h/a?cid=S&design=1&sign=", "http://h/a?cid=S&design=1&sign=***"},
        {"http://h/a?cid=sign=x", "http://h/a?cid=sign=x"},
        {"http://h/sign=x", "http://h/sign=x"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithoutSignature(c.url), c.logged) << c.url;
}

TEST(TransferLogLine, BytesDurationSpeedAndTheDigestsVerdict) {
    TransferRecord t{"http://h/d/a.dll.comps", "C:\\Q\\a.dll.comps", "complete", 8192, 8192, 250, "", "", ""};
    EXPECT_EQ(TransferLogLine(t),
              "transfer http://h/d/a.dll.comps to C:\\Q\\a.dll.comps: complete, 8192 bytes of 8192 "
              "announced, 250 ms, 32768 bytes/s, digest not checked");
    t.expectedDigest = "aa";
    t.actualDigest = "aa";
    EXPECT_NE(TransferLogLine(t).find(", digest matches cSHA256"), std::string::npos);
    t.actualDigest = "bb";
    EXPECT_NE(TransferLogLine(t).find(", digest refused: cSHA256 aa, received bb"), std::string::npos);
    t = TransferRecord{"u", "f", "broken off", 100, 0, 0, "disk full", "aa", ""};
    EXPECT_EQ(TransferLogLine(t),
              "transfer u to f: broken off, 100 bytes, no length, 0 ms, 0 bytes/s, file not closed: "
              "disk full");
}

TEST(ExitStatus, EveryEndHasItsPublishedNumber) {
    const struct {
        MainEnd end;
        int status;
    } table[] = {
        {MainEnd::MainClientStarted, 0},      {MainEnd::CheckPassed, 0},
        {MainEnd::AlreadyRunning, 10},        {MainEnd::VersionFileUnreadable, 11},
        {MainEnd::SettingsMissing, 12},       {MainEnd::RequestFailed, 13},
        {MainEnd::AnswerRefused, 14},         {MainEnd::ServiceRefused, 15},
        {MainEnd::DownloadNotCompleted, 16},  {MainEnd::Cancelled, 17},
        {MainEnd::VersionFileNotWritten, 18}, {MainEnd::MainClientMissing, 19},
        {MainEnd::MainClientNotStarted, 20},  {MainEnd::UnexpectedFailure, 21},
    };
    for (const auto& row : table) {
        EXPECT_EQ(ExitStatus(row.end), row.status) << EndName(row.end);
        EXPECT_FALSE(EndName(row.end).empty());
    }
}

}  // namespace
}  // namespace launcher

#include "testbed/zkemkeeper/TerminalReply.h"
#include "testbed/zkemkeeper/Timeouts.h"

#include <gtest/gtest.h>

namespace zkem {
namespace {

TEST(TerminalReply, SortsEachLine) {
    const struct {
        const char* line;
        ReplyKind kind;
        const char* text;
        long notification;
    } cases[] = {
        {"OK", ReplyKind::Answered, "", 0},
        {"OK 3", ReplyKind::Answered, "3", 0},
        {"OK TERMINAL 2 MACHINE 1", ReplyKind::Answered, "TERMINAL 2 MACHINE 1", 0},
        {"ERR PROBE x", ReplyKind::Refused, "", 0},
        {"ERR", ReplyKind::Refused, "", 0},
        {"EVENT 19 12", ReplyKind::Notification, "", 12},
        {"EVENT 19", ReplyKind::Unknown, "", 0},
        {"EVENT 19 x", ReplyKind::Unknown, "", 0},
        {"EVENT 18 1", ReplyKind::Unknown, "", 0},
        {"OKAY", ReplyKind::Unknown, "", 0},
        {"", ReplyKind::Unknown, "", 0},
    };
    for (const auto& c : cases) {
        const TerminalReply reply = ReadReply(c.line);
        EXPECT_EQ(reply.kind, c.kind) << c.line;
        EXPECT_EQ(reply.text, c.text) << c.line;
        EXPECT_EQ(reply.notification, c.notification) << c.line;
    }
}

TEST(TerminalReply, LinesAreCutAtNewlinesAcrossReads) {
    ReplyLines lines;
    lines.Add("OK 1\r\nEVENT 19 ");
    EXPECT_EQ(lines.Next(), "OK 1");
    EXPECT_EQ(lines.Next(), std::nullopt);
    lines.Add("4\n");
    EXPECT_EQ(lines.Next(), "EVENT 19 4");
    lines.Add("OK");
    lines.Clear();
    lines.Add("\n");
    EXPECT_EQ(lines.Next(), "");
}

TEST(Timeouts, TakesWholeMillisecondsInRangeElseTheFallback) {
    const struct {
        const wchar_t* text;
        int expected;
    } cases[] = {{L"250", 250}, {L"1", 1},   {L"600000", 600000}, {L"600001", 77},  {L"0", 77},
                 {L"", 77},     {L"-5", 77}, {L"1s", 77},         {L"1234567", 77}, {L" 50", 77}};
    for (const auto& c : cases) EXPECT_EQ(TimeoutFromText(c.text, 77), c.expected);
}

}  // namespace
}  // namespace zkem

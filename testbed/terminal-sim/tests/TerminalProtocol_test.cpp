#include "testbed/terminal-sim/TerminalProtocol.h"

#include <gtest/gtest.h>

namespace terminal_sim {
namespace {

struct RequestCase {
    const char* request;
    bool silent;
    std::optional<std::string> answer;
};

TEST(TerminalProtocol, AnswersEachRequestOfTerminalSeven) {
    const RequestCase cases[] = {
        {"HELLO", false, "OK 7"},
        {"HELLO", true, "OK 7"},  // a silent terminal still accepts connections
        {"PROBE 1", false, "OK TERMINAL 7 MACHINE 1"},
        {"PROBE 1", true, std::nullopt},
        {"PROBE", false, "ERR PROBE"},
        {"PROBE x", false, "ERR PROBE x"},
        {"PROBE 1 2", true, "ERR PROBE 1 2"},
        {"hello", false, "ERR hello"},
        {"", false, "ERR "},
    };
    for (const auto& c : cases) EXPECT_EQ(AnswerRequest(c.request, 7, c.silent), c.answer) << c.request;
}

TEST(TerminalProtocol, NotificationNamesTheEventAndTheTerminal) { EXPECT_EQ(NotificationLine(3), "EVENT 19 3"); }

TEST(LineSplitter, HandsOutWholeLinesAcrossPieces) {
    LineSplitter lines;
    lines.Add("HEL");
    EXPECT_EQ(lines.Next(), std::nullopt);
    lines.Add("LO\r\nPROBE 1\n\nPRO");
    EXPECT_EQ(lines.Next(), "HELLO");
    EXPECT_EQ(lines.Next(), "PROBE 1");
    EXPECT_EQ(lines.Next(), "");
    EXPECT_EQ(lines.Next(), std::nullopt);
    EXPECT_EQ(lines.Pending(), 3u);
}

}  // namespace
}  // namespace terminal_sim

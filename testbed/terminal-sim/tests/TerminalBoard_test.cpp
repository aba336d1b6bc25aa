#include "testbed/terminal-sim/TerminalBoard.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace terminal_sim {
namespace {

class RecordingSockets : public TerminalSockets {
public:
    bool Listen(int terminal) override {
        calls.push_back("listen " + std::to_string(terminal));
        return listenWorks;
    }
    void Close(int terminal) override { calls.push_back("close " + std::to_string(terminal)); }
    int PushNotification(int terminal) override {
        calls.push_back("notify " + std::to_string(terminal));
        return 2;
    }
    int Connections(int) const override { return 5; }

    std::vector<std::string> calls;
    bool listenWorks = true;
};

std::string Do(TerminalBoard& board, ControlKind kind, std::uint32_t value = 0) { return board.Apply({kind, value}); }

TEST(TerminalBoard, StopAndStartChangeStateOnceAndAreRecorded) {
    RecordingSockets sockets;
    TerminalBoard board(3, sockets, 1);
    EXPECT_EQ(Do(board, ControlKind::Stop, 2), "OK 2:down");
    EXPECT_EQ(Do(board, ControlKind::Stop, 2), "OK");  // already down: no transition, no socket call
    EXPECT_EQ(Do(board, ControlKind::Start, 2), "OK 2:up");
    EXPECT_EQ(Do(board, ControlKind::Start, 3), "OK");
    EXPECT_EQ(sockets.calls, (std::vector<std::string>{"close 2", "listen 2"}));
    EXPECT_EQ(Do(board, ControlKind::Transitions), "OK 2:down 2:up");
}

TEST(TerminalBoard, FailedListenLeavesTheTerminalDown) {
    RecordingSockets sockets;
    TerminalBoard board(1, sockets, 1);
    Do(board, ControlKind::Stop, 1);
    sockets.listenWorks = false;
    EXPECT_EQ(Do(board, ControlKind::Start, 1).substr(0, 3), "ERR");
    EXPECT_FALSE(board.IsUp(1));
    EXPECT_EQ(board.Transitions(), std::vector<std::string>{"1:down"});
}

TEST(TerminalBoard, StateShowsSilenceOnlyWhileUp) {
    RecordingSockets sockets;
    TerminalBoard board(3, sockets, 1);
    Do(board, ControlKind::Silent, 1);
    Do(board, ControlKind::Silent, 2);
    Do(board, ControlKind::Stop, 2);
    EXPECT_EQ(Do(board, ControlKind::State), "OK 1:silent 2:down 3:up");
    Do(board, ControlKind::Answer, 1);
    EXPECT_FALSE(board.IsSilent(1));
    EXPECT_TRUE(board.IsSilent(2));
}

TEST(TerminalBoard, NotifiesOnlyTerminalsThatAreUp) {
    RecordingSockets sockets;
    TerminalBoard board(2, sockets, 1);
    EXPECT_EQ(Do(board, ControlKind::Notify, 1), "OK 2");
    Do(board, ControlKind::Stop, 2);
    EXPECT_EQ(Do(board, ControlKind::Notify, 2), "OK 0");
    EXPECT_EQ(sockets.calls, (std::vector<std::string>{"notify 1", "close 2"}));
}

TEST(TerminalBoard, RefusesTerminalsOutsideTheBoard) {
    RecordingSockets sockets;
    TerminalBoard board(2, sockets, 1);
    for (auto kind :
         {ControlKind::Stop, ControlKind::Start, ControlKind::Silent, ControlKind::Notify, ControlKind::Connections})
        for (std::uint32_t terminal : {0u, 3u}) EXPECT_EQ(Do(board, kind, terminal).substr(0, 3), "ERR");
    EXPECT_TRUE(sockets.calls.empty());
}

// Replays a FLAP reply against a model of the states: every listed transition
// must flip a terminal from its current state.
void CheckFlapAgainstModel(const std::string& reply, std::map<int, bool>& up) {
    std::istringstream words(reply);
    std::string word;
    words >> word;
    ASSERT_EQ(word, "OK");
    while (words >> word) {
        const auto colon = word.find(':');
        const int terminal = std::stoi(word.substr(0, colon));
        const bool nowUp = word.substr(colon + 1) == "up";
        ASSERT_NE(up[terminal], nowUp) << word;
        up[terminal] = nowUp;
    }
}

TEST(TerminalBoard, FlappingIsReproducibleFromTheSeedAndReportsEveryTransition) {
    RecordingSockets socketsA, socketsB;
    TerminalBoard a(20, socketsA, 42), b(20, socketsB, 7);
    Do(b, ControlKind::Seed, 42);
    std::map<int, bool> model;
    for (int i = 1; i <= 20; ++i) model[i] = true;
    for (int round = 0; round < 50; ++round) {
        const std::string reply = Do(a, ControlKind::Flap, 3);
        EXPECT_EQ(reply, Do(b, ControlKind::Flap, 3));
        CheckFlapAgainstModel(reply, model);
    }
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(a.IsUp(i), model[i]) << i;
    EXPECT_EQ(a.Transitions().size(), 150u);
}

}  // namespace
}  // namespace terminal_sim

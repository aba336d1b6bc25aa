#include "testbed/terminal-sim/ControlCommand.h"

#include <gtest/gtest.h>

namespace terminal_sim {
namespace {

TEST(ControlCommand, ParsesEveryVerb) {
    const struct {
        const char* line;
        ControlKind kind;
        std::uint32_t value;
    } cases[] = {
        {"STOP 3", ControlKind::Stop, 3},
        {"START 12", ControlKind::Start, 12},
        {"SILENT 1", ControlKind::Silent, 1},
        {"ANSWER 1", ControlKind::Answer, 1},
        {"NOTIFY 2", ControlKind::Notify, 2},
        {"SEED 4294967295", ControlKind::Seed, 4294967295u},
        {"FLAP 5", ControlKind::Flap, 5},
        {"STATE", ControlKind::State, 0},
        {"TRANSITIONS\r", ControlKind::Transitions, 0},
        {"CONNECTIONS 4", ControlKind::Connections, 4},
        {"QUIT", ControlKind::Quit, 0},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto command = ParseControlCommand(c.line, error);
        ASSERT_TRUE(command) << c.line << ": " << error;
        EXPECT_EQ(command->kind, c.kind) << c.line;
        EXPECT_EQ(command->value, c.value) << c.line;
    }
}

TEST(ControlCommand, RefusesMalformedLines) {
    const char* const lines[] = {"",         "stop 1",          "STOP",    "STOP ",  "STOP -1", "STOP 1x",
                                 "STOP 1 2", "SEED 4294967296", "STATE 1", "STATE ", "JUMP 1"};
    for (const char* line : lines) {
        std::string error;
        EXPECT_FALSE(ParseControlCommand(line, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
}

}  // namespace
}  // namespace terminal_sim

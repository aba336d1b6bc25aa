#pragma once
// The simulator's control channel: one command per line on its control port
// (127.0.0.1, published in the --control-port-file), one reply line each,
// "OK ..." or "ERR <reason>". Terminals are numbered from 1 in the order of
// the --ports-file.
//   STOP i         close terminal i's listener and every connection it has
//   START i        listen again on terminal i's port
//   SILENT i       accept and shake hands, but never answer a probe
//   ANSWER i       answer probes again
//   NOTIFY i       push the notification on every open connection of i;
//                  the reply gives how many connections got it
//   SEED s         seed the random flapping (also --seed)
//   FLAP n         stop or start n terminals picked at random; the reply lists
//                  the transitions in order, e.g. "OK 3:down 7:up"
//   STATE          "OK 1:up 2:down 3:silent ..."
//   TRANSITIONS    every transition caused so far (STOP, START, FLAP), in order
//   CONNECTIONS i  how many connections terminal i has open
//   QUIT           end the simulator
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace terminal_sim {

enum class ControlKind { Stop, Start, Silent, Answer, Notify, Seed, Flap, State, Transitions, Connections, Quit };

struct ControlCommand {
    ControlKind kind = ControlKind::State;
    std::uint32_t value = 0;  // terminal number, seed or count
};

// nullopt with `error` set for an unknown command or a missing or bad number.
std::optional<ControlCommand> ParseControlCommand(std::string_view line, std::string& error);

}  // namespace terminal_sim

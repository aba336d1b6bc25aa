#include "ControlCommand.h"

#include <array>
#include <charconv>

namespace terminal_sim {
namespace {

struct Verb {
    std::string_view name;
    ControlKind kind;
    bool takesNumber;
};

constexpr std::array kVerbs{
    Verb{"STOP", ControlKind::Stop, true},
    Verb{"START", ControlKind::Start, true},
    Verb{"SILENT", ControlKind::Silent, true},
    Verb{"ANSWER", ControlKind::Answer, true},
    Verb{"NOTIFY", ControlKind::Notify, true},
    Verb{"SEED", ControlKind::Seed, true},
    Verb{"FLAP", ControlKind::Flap, true},
    Verb{"STATE", ControlKind::State, false},
    Verb{"TRANSITIONS", ControlKind::Transitions, false},
    Verb{"CONNECTIONS", ControlKind::Connections, true},
    Verb{"QUIT", ControlKind::Quit, false},
};

}  // namespace

std::optional<ControlCommand> ParseControlCommand(std::string_view line, std::string& error) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto space = line.find(' ');
    const std::string_view name = line.substr(0, space);
    const std::string_view argument = space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
    for (const Verb& verb : kVerbs) {
        if (verb.name != name) continue;
        if (!verb.takesNumber) {
            if (!argument.empty() || space != std::string_view::npos) {
                error = std::string(name) + " takes no argument";
                return std::nullopt;
            }
            return ControlCommand{verb.kind, 0};
        }
        std::uint32_t value = 0;
        const auto [end, failure] = std::from_chars(argument.data(), argument.data() + argument.size(), value);
        if (argument.empty() || failure != std::errc{} || end != argument.data() + argument.size()) {
            error = std::string(name) + " needs a whole number";
            return std::nullopt;
        }
        return ControlCommand{verb.kind, value};
    }
    error = "unknown command " + std::string(name);
    return std::nullopt;
}

}  // namespace terminal_sim

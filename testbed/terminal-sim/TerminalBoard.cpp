#include "TerminalBoard.h"

namespace terminal_sim {
namespace {

std::string Joined(const std::vector<std::string>& items) {
    std::string text = "OK";
    for (const auto& item : items) text += " " + item;
    return text;
}

}  // namespace

TerminalBoard::TerminalBoard(int terminals, TerminalSockets& sockets, std::uint32_t seed)
    : sockets_(sockets), up_(terminals, true), silent_(terminals, false), random_(seed) {}

bool TerminalBoard::Valid(std::uint32_t terminal) const { return terminal >= 1 && terminal <= up_.size(); }

bool TerminalBoard::SetUp(int terminal, bool up, std::string& transition) {
    if (up_[terminal - 1] == up) return true;
    if (up) {
        if (!sockets_.Listen(terminal)) return false;
    } else {
        sockets_.Close(terminal);
    }
    up_[terminal - 1] = up;
    transition = std::to_string(terminal) + (up ? ":up" : ":down");
    transitions_.push_back(transition);
    return true;
}

std::string TerminalBoard::Flap(std::uint32_t count) {
    std::vector<std::string> caused;
    for (std::uint32_t n = 0; n < count && !up_.empty(); ++n) {
        // The modulo keeps the sequence of a seed the same on every standard library.
        const int terminal = static_cast<int>(random_() % up_.size()) + 1;
        std::string transition;
        if (!SetUp(terminal, !up_[terminal - 1], transition))
            return "ERR cannot listen on terminal " + std::to_string(terminal);
        caused.push_back(transition);
    }
    return Joined(caused);
}

std::string TerminalBoard::State() const {
    std::vector<std::string> states;
    for (std::size_t i = 0; i < up_.size(); ++i)
        states.push_back(std::to_string(i + 1) + (!up_[i] ? ":down" : silent_[i] ? ":silent" : ":up"));
    return Joined(states);
}

std::string TerminalBoard::Apply(const ControlCommand& command) {
    const bool needsTerminal = command.kind == ControlKind::Stop || command.kind == ControlKind::Start ||
                               command.kind == ControlKind::Silent || command.kind == ControlKind::Answer ||
                               command.kind == ControlKind::Notify || command.kind == ControlKind::Connections;
    if (needsTerminal && !Valid(command.value)) return "ERR no terminal " + std::to_string(command.value);
    const int terminal = static_cast<int>(command.value);
    std::string transition;
    switch (command.kind) {
        case ControlKind::Stop:
        case ControlKind::Start:
            if (!SetUp(terminal, command.kind == ControlKind::Start, transition))
                return "ERR cannot listen on terminal " + std::to_string(terminal);
            return transition.empty() ? "OK" : "OK " + transition;
        case ControlKind::Silent:
        case ControlKind::Answer:
            silent_[terminal - 1] = command.kind == ControlKind::Silent;
            return "OK";
        case ControlKind::Notify:
            return "OK " + std::to_string(up_[terminal - 1] ? sockets_.PushNotification(terminal) : 0);
        case ControlKind::Seed:
            random_.seed(command.value);
            return "OK";
        case ControlKind::Flap:
            return Flap(command.value);
        case ControlKind::State:
            return State();
        case ControlKind::Transitions:
            return Joined(transitions_);
        case ControlKind::Connections:
            return "OK " + std::to_string(sockets_.Connections(terminal));
        case ControlKind::Quit:
            quit_ = true;
            return "OK";
    }
    return "ERR unknown command";
}

}  // namespace terminal_sim

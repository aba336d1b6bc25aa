#pragma once
// The simulated terminals' states and what the control commands do to them.
// The sockets lie behind TerminalSockets so that the rules stand alone.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "ControlCommand.h"

namespace terminal_sim {

class TerminalSockets {
public:
    virtual ~TerminalSockets() = default;
    // Terminals are numbered from 1.
    virtual bool Listen(int terminal) = 0;
    virtual void Close(int terminal) = 0;            // the listener and every connection
    virtual int PushNotification(int terminal) = 0;  // returns the connections reached
    virtual int Connections(int terminal) const = 0;
};

class TerminalBoard {
public:
    TerminalBoard(int terminals, TerminalSockets& sockets, std::uint32_t seed);

    // The reply line for the control channel, without its newline.
    std::string Apply(const ControlCommand& command);

    bool IsUp(int terminal) const { return up_.at(terminal - 1); }
    bool IsSilent(int terminal) const { return silent_.at(terminal - 1); }
    bool QuitRequested() const { return quit_; }
    const std::vector<std::string>& Transitions() const { return transitions_; }

private:
    bool Valid(std::uint32_t terminal) const;
    bool SetUp(int terminal, bool up, std::string& transition);
    std::string Flap(std::uint32_t count);
    std::string State() const;

    TerminalSockets& sockets_;
    std::vector<bool> up_;
    std::vector<bool> silent_;
    std::vector<std::string> transitions_;
    std::mt19937 random_;
    bool quit_ = false;
};

}  // namespace terminal_sim

#pragma once
// The simulated terminals on 127.0.0.1: one listener per terminal on a port of
// its own, plus the control port, all served by one poll() loop.
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "TerminalBoard.h"
#include "TerminalProtocol.h"

namespace terminal_sim {

class SimulatorServer : public TerminalSockets {
public:
    SimulatorServer(int terminals, std::uint32_t seed);
    ~SimulatorServer() override;
    SimulatorServer(const SimulatorServer&) = delete;
    SimulatorServer& operator=(const SimulatorServer&) = delete;

    // Binds every terminal and the control port on free ports; false if one fails.
    bool Open();
    const std::vector<int>& Ports() const { return ports_; }
    int ControlPort() const { return controlPort_; }
    TerminalBoard& Board() { return board_; }

    // Serves until QUIT comes on the control channel or the deadline passes.
    void Run(std::chrono::steady_clock::time_point deadline);

    bool Listen(int terminal) override;
    void Close(int terminal) override;
    int PushNotification(int terminal) override;
    int Connections(int terminal) const override;

private:
    static constexpr int kControl = 0;  // the "terminal" of control connections
    struct Connection {
        int fd;
        int terminal;
        LineSplitter lines;
    };

    void Accept(int listener, int terminal);
    // False when the peer went away.
    bool Serve(Connection& connection);

    std::vector<int> listeners_;  // -1 while stopped
    std::vector<int> ports_;
    int control_ = -1;
    int controlPort_ = 0;
    std::vector<std::unique_ptr<Connection>> connections_;
    TerminalBoard board_;
};

}  // namespace terminal_sim

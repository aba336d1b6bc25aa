#pragma once
// One TCP connection to a simulated terminal, used on the thread that owns
// the control. Every wait is bounded by the time-out it is given.
//
// Connect: TCP connect, then "HELLO" must be answered. Probe: "PROBE <n>" must
// be answered in time; an answer given up on is dropped if it comes later.
// Notifications read at any point are queued; TakeNotifications hands them
// out. With a window given, the socket posts `message` to it whenever data or
// a close arrives (WSAAsyncSelect), so notifications reach the owner's thread.
#include <string>
#include <vector>

#include "TerminalReply.h"
#include <winsock2.h>

namespace zkem {

class TerminalLink {
public:
    TerminalLink(HWND window, UINT message);
    ~TerminalLink();
    TerminalLink(const TerminalLink&) = delete;
    TerminalLink& operator=(const TerminalLink&) = delete;

    bool Connect(const std::string& address, long port, int timeoutMs);
    void Disconnect();
    bool Probe(long machineNumber, int timeoutMs, std::string& answer);
    bool IsOpen() const { return socket_ != INVALID_SOCKET; }

    // Reads whatever has arrived without waiting (after the window's message).
    void ReadAvailable();
    std::vector<long> TakeNotifications();
    bool HasNotifications() const { return !notifications_.empty(); }

private:
    // Reads until an answer owed to the caller arrives or the time is up.
    bool AwaitAnswer(int timeoutMs, std::string& answer);
    // False when the connection is gone; `waitMs` 0 does not wait.
    bool Receive(int waitMs);
    bool SendLine(const std::string& line);
    void HandleLines(bool& answered, bool& refused, std::string& answer);

    HWND window_;
    UINT message_;
    bool started_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    ReplyLines lines_;
    int owed_ = 0;  // requests sent whose answers have not been read yet
    std::vector<long> notifications_;
};

}  // namespace zkem

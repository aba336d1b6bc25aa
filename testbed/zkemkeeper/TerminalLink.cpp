#include "TerminalLink.h"

#include <utility>

#include <ws2tcpip.h>

namespace zkem {
namespace {

ULONGLONG Now() { return GetTickCount64(); }

int Left(ULONGLONG deadline) {
    const ULONGLONG now = Now();
    return now >= deadline ? 0 : static_cast<int>(deadline - now);
}

// Waits until the socket is readable (or writable) or `waitMs` passes.
bool Ready(SOCKET socket, bool forWriting, int waitMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(socket, &failed);
    timeval wait{waitMs / 1000, (waitMs % 1000) * 1000};
    const int count =
        forWriting ? ::select(0, nullptr, &set, &failed, &wait) : ::select(0, &set, nullptr, nullptr, &wait);
    return count > 0 && FD_ISSET(socket, &set);
}

bool ResolveIPv4(const std::string& address, in_addr& out) {
    if (address.empty()) return false;
    if (::inet_pton(AF_INET, address.c_str(), &out) == 1) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(address.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    out = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return true;
}

}  // namespace

TerminalLink::TerminalLink(HWND window, UINT message) : window_(window), message_(message) {
    WSADATA data;
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

TerminalLink::~TerminalLink() {
    Disconnect();
    if (started_) ::WSACleanup();
}

bool TerminalLink::Connect(const std::string& address, long port, int timeoutMs) {
    Disconnect();
    in_addr host{};
    if (!started_ || port < 1 || port > 65535 || !ResolveIPv4(address, host)) return false;
    const ULONGLONG deadline = Now() + static_cast<ULONGLONG>(timeoutMs);
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket_ == INVALID_SOCKET) return false;
    u_long nonBlocking = 1;
    ::ioctlsocket(socket_, FIONBIO, &nonBlocking);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr = host;
    target.sin_port = htons(static_cast<u_short>(port));
    if (::connect(socket_, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
        int error = 0;
        int length = sizeof error;
        if (::WSAGetLastError() != WSAEWOULDBLOCK || !Ready(socket_, true, Left(deadline)) ||
            ::getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 || error != 0) {
            Disconnect();
            return false;
        }
    }
    if (window_) ::WSAAsyncSelect(socket_, window_, message_, FD_READ | FD_CLOSE);
    std::string greeting;
    if (!SendLine("HELLO") || !AwaitAnswer(Left(deadline), greeting)) {
        Disconnect();
        return false;
    }
    return true;
}

void TerminalLink::Disconnect() {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
    socket_ = INVALID_SOCKET;
    lines_.Clear();
    owed_ = 0;
}

bool TerminalLink::Probe(long machineNumber, int timeoutMs, std::string& answer) {
    // An answer that came after its time-out is read and dropped here, so that
    // it is not taken for this probe's.
    ReadAvailable();
    if (!IsOpen() || !SendLine("PROBE " + std::to_string(machineNumber))) return false;
    return AwaitAnswer(timeoutMs, answer);
}

void TerminalLink::ReadAvailable() {
    bool answered = false, refused = false;
    std::string ignored;
    while (IsOpen() && Ready(socket_, false, 0)) {
        if (!Receive(0)) {
            HandleLines(answered, refused, ignored);
            Disconnect();
            return;
        }
    }
    HandleLines(answered, refused, ignored);
}

std::vector<long> TerminalLink::TakeNotifications() { return std::exchange(notifications_, {}); }

bool TerminalLink::SendLine(const std::string& line) {
    const std::string bytes = line + "\n";
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = ::send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n == SOCKET_ERROR) {
            if (::WSAGetLastError() == WSAEWOULDBLOCK && Ready(socket_, true, 1000)) continue;
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    ++owed_;
    return true;
}

bool TerminalLink::AwaitAnswer(int timeoutMs, std::string& answer) {
    const ULONGLONG deadline = Now() + static_cast<ULONGLONG>(timeoutMs);
    while (true) {
        bool answered = false, refused = false;
        HandleLines(answered, refused, answer);
        if (answered || refused) return answered;
        const int left = Left(deadline);
        if (left == 0) {
            owed_ = 0;  // given up: a silent terminal may never answer
            return false;
        }
        if (!Receive(left)) {
            Disconnect();
            return false;
        }
    }
}

bool TerminalLink::Receive(int waitMs) {
    if (!Ready(socket_, false, waitMs)) return true;
    char buffer[4096];
    const int n = ::recv(socket_, buffer, sizeof buffer, 0);
    if (n > 0) {
        lines_.Add(std::string_view(buffer, static_cast<std::size_t>(n)));
        return true;
    }
    return n == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK;
}

// Sets `answered` or `refused` when the last owed answer arrives.
void TerminalLink::HandleLines(bool& answered, bool& refused, std::string& answer) {
    while (auto line = lines_.Next()) {
        const TerminalReply reply = ReadReply(*line);
        if (reply.kind == ReplyKind::Notification) {
            notifications_.push_back(reply.notification);
        } else if (reply.kind != ReplyKind::Unknown && owed_ > 0 && --owed_ == 0) {
            answered = reply.kind == ReplyKind::Answered;
            refused = !answered;
            answer = reply.text;
        }
    }
}

}  // namespace zkem

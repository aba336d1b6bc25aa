#include "SimulatorServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace terminal_sim {
namespace {

// A non-blocking listener on 127.0.0.1:port (0: a free one); -1 on failure.
int ListenOn(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

void SendLine(int fd, const std::string& line) {
    const std::string bytes = line + "\n";
    std::size_t sent = 0;
    // Lines are short and loopback buffers large; a peer that stops reading loses the rest.
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

SimulatorServer::SimulatorServer(int terminals, std::uint32_t seed)
    : listeners_(terminals, -1), ports_(terminals, 0), board_(terminals, *this, seed) {}

SimulatorServer::~SimulatorServer() {
    for (int fd : listeners_)
        if (fd >= 0) ::close(fd);
    for (auto& connection : connections_) ::close(connection->fd);
    if (control_ >= 0) ::close(control_);
}

bool SimulatorServer::Open() {
    for (std::size_t i = 0; i < listeners_.size(); ++i) {
        listeners_[i] = ListenOn(ports_[i]);
        if (listeners_[i] < 0) return false;
    }
    control_ = ListenOn(controlPort_);
    return control_ >= 0;
}

bool SimulatorServer::Listen(int terminal) {
    int& fd = listeners_.at(terminal - 1);
    if (fd < 0) fd = ListenOn(ports_.at(terminal - 1));
    return fd >= 0;
}

void SimulatorServer::Close(int terminal) {
    int& fd = listeners_.at(terminal - 1);
    if (fd >= 0) ::close(fd);
    fd = -1;
    std::erase_if(connections_, [terminal](const auto& connection) {
        if (connection->terminal != terminal) return false;
        ::close(connection->fd);
        return true;
    });
}

int SimulatorServer::PushNotification(int terminal) {
    int reached = 0;
    for (auto& connection : connections_) {
        if (connection->terminal != terminal) continue;
        SendLine(connection->fd, NotificationLine(terminal));
        ++reached;
    }
    return reached;
}

int SimulatorServer::Connections(int terminal) const {
    return static_cast<int>(std::count_if(connections_.begin(), connections_.end(),
                                          [terminal](const auto& c) { return c->terminal == terminal; }));
}

void SimulatorServer::Accept(int listener, int terminal) {
    while (true) {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        connections_.push_back(std::make_unique<Connection>(Connection{fd, terminal, {}}));
    }
}

bool SimulatorServer::Serve(Connection& connection) {
    char buffer[4096];
    const ssize_t n = ::recv(connection.fd, buffer, sizeof buffer, 0);
    if (n == 0) return false;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    connection.lines.Add(std::string_view(buffer, static_cast<std::size_t>(n)));
    while (auto line = connection.lines.Next()) {
        if (connection.terminal == kControl) {
            std::string error;
            const auto command = ParseControlCommand(*line, error);
            // A command may close this very connection's neighbours, never the control one.
            SendLine(connection.fd, command ? board_.Apply(*command) : "ERR " + error);
        } else if (auto answer = AnswerRequest(*line, connection.terminal, board_.IsSilent(connection.terminal))) {
            SendLine(connection.fd, *answer);
        }
    }
    return true;
}

void SimulatorServer::Run(std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono;
    while (!board_.QuitRequested()) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0) return;
        std::vector<pollfd> watched;
        std::vector<int> terminalOf;  // for listeners: terminal number; kControl for the control listener
        for (std::size_t i = 0; i < listeners_.size(); ++i) {
            if (listeners_[i] < 0) continue;
            watched.push_back({listeners_[i], POLLIN, 0});
            terminalOf.push_back(static_cast<int>(i) + 1);
        }
        watched.push_back({control_, POLLIN, 0});
        terminalOf.push_back(kControl);
        const std::size_t firstConnection = watched.size();
        std::vector<int> connectionFds;
        for (const auto& connection : connections_) {
            watched.push_back({connection->fd, POLLIN, 0});
            connectionFds.push_back(connection->fd);
        }
        if (::poll(watched.data(), watched.size(), static_cast<int>(std::min<long long>(left, 200))) <= 0) continue;
        for (std::size_t i = 0; i < firstConnection; ++i)
            if (watched[i].revents & POLLIN) Accept(watched[i].fd, terminalOf[i]);
        // A control command can close connections: look each one up again by its descriptor.
        for (std::size_t i = firstConnection; i < watched.size(); ++i) {
            if (!watched[i].revents) continue;
            const auto found =
                std::find_if(connections_.begin(), connections_.end(),
                             [fd = connectionFds[i - firstConnection]](const auto& c) { return c->fd == fd; });
            if (found == connections_.end()) continue;
            if (!Serve(**found)) {
                ::close((*found)->fd);
                connections_.erase(
                    std::find_if(connections_.begin(), connections_.end(),
                                 [fd = connectionFds[i - firstConnection]](const auto& c) { return c->fd == fd; }));
            }
        }
    }
}

}  // namespace terminal_sim

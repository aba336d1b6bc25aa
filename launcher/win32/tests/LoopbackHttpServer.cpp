#include "LoopbackHttpServer.h"

#include <ws2tcpip.h>

#include <sstream>
#include <stdexcept>

namespace launcher::win::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPollInterval = std::chrono::milliseconds(50);

struct WinsockSession {
    WinsockSession() {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
            throw std::runtime_error("WSAStartup failed");
        }
    }
    ~WinsockSession() { WSACleanup(); }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
};

WinsockSession& Winsock() {
    static WinsockSession session;
    return session;
}

// A socket listening on 127.0.0.1 at a port the system picks.
SOCKET ListenOnLoopback(unsigned short& port) {
    Winsock();
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, SOMAXCONN) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return listener;
}

// True when the socket can be read before the poll interval ends.
bool Readable(SOCKET socket) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait{0, static_cast<long>(std::chrono::microseconds(kPollInterval).count())};
    return select(0, &set, nullptr, nullptr, &wait) == 1;
}

RecordedRequest ParseHead(const std::string& head) {
    RecordedRequest request;
    std::istringstream lines(head);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            break;
        }
        if (request.requestLine.empty()) {
            request.requestLine = line;
        } else {
            request.headers.push_back(line);
        }
    }
    return request;
}

std::string Serialize(const ScriptedResponse& response) {
    std::string text = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
    if (!response.contentType.empty()) {
        text += "Content-Type: " + response.contentType + "\r\n";
    }
    return text + "Content-Length: " + std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n" +
           response.body;
}

}  // namespace

std::string RecordedRequest::Header(const std::string& name) const {
    const std::string prefix = name + ": ";
    for (const auto& header : headers) {
        if (header.size() >= prefix.size() && _strnicmp(header.c_str(), prefix.c_str(), prefix.size()) == 0) {
            return header.substr(prefix.size());
        }
    }
    return {};
}

LoopbackHttpServer::LoopbackHttpServer(ScriptedResponse response, std::chrono::milliseconds lifetime)
    : response_(std::move(response)) {
    listener_ = ListenOnLoopback(port_);
    thread_ = std::thread([this, deadline = Clock::now() + lifetime] { Serve(deadline); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop_ = true;
    thread_.join();
    closesocket(listener_);
}

std::vector<RecordedRequest> LoopbackHttpServer::Requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

unsigned short LoopbackHttpServer::ClosedPort() {
    unsigned short port = 0;
    closesocket(ListenOnLoopback(port));
    return port;
}

void LoopbackHttpServer::Serve(Clock::time_point deadline) {
    while (!stop_ && Clock::now() < deadline) {
        if (!Readable(listener_)) {
            continue;
        }
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client != INVALID_SOCKET) {
            Answer(client, deadline);
            closesocket(client);
        }
    }
}

void LoopbackHttpServer::Answer(SOCKET client, Clock::time_point deadline) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (stop_ || Clock::now() >= deadline) {
            return;
        }
        if (!Readable(client)) {
            continue;
        }
        const int received = recv(client, buffer, sizeof buffer, 0);
        if (received <= 0) {
            return;
        }
        head.append(buffer, static_cast<std::size_t>(received));
    }
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(ParseHead(head));
    }
    const std::string answer = Serialize(response_);
    send(client, answer.data(), static_cast<int>(answer.size()), 0);
    shutdown(client, SD_SEND);
}

}  // namespace launcher::win::test

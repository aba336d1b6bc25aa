#pragma once
// A one-thread HTTP server on 127.0.0.1 for tests: it answers every request
// with the same scripted response and records what arrived. It stops when it
// is destroyed, or by itself after a time limit.
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/WindowsApi.h"
#include <winsock2.h>

namespace launcher::win::test {

struct ScriptedResponse {
    int status = 200;
    std::string reason = "OK";
    std::string contentType = "text/xml; charset=utf-8";
    std::string body;
};

struct RecordedRequest {
    std::string requestLine;                            // "GET /path?query HTTP/1.1"
    std::vector<std::string> headers;                   // "Name: value", as sent
    std::string Header(const std::string& name) const;  // value of the first such header, or ""
};

class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(ScriptedResponse response,
                                std::chrono::milliseconds lifetime = std::chrono::seconds(60));
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    unsigned short Port() const { return port_; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<RecordedRequest> Requests() const;

    // A loopback port with nothing listening on it.
    static unsigned short ClosedPort();

private:
    void Serve(std::chrono::steady_clock::time_point deadline);
    void Answer(SOCKET client, std::chrono::steady_clock::time_point deadline);

    ScriptedResponse response_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    mutable std::mutex mutex_;
    std::vector<RecordedRequest> requests_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace launcher::win::test

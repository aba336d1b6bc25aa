#pragma once
// The loopback HTTP service: the program-file endpoint and the archive
// downloads, on 127.0.0.1 only.
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <httplib.h>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "Catalogue.h"
#include "Faults.h"
#include "RequestLog.h"
#include "publisher/EcKey.h"

namespace testbed {

struct ServiceSettings {
    Catalogue catalogue;  // "{base}" not yet expanded
    Faults faults;
    std::optional<std::filesystem::path> downloads;
    RequestLog* log = nullptr;     // not owned; none when null
    RequestLog* served = nullptr;  // bytes served per download; not owned; none when null
    // Written when a download reaches its hold point; the rest of the body
    // waits until the file is gone (at most a minute).
    std::filesystem::path holdMarker;
    bool verbose = false;  // one stdout line per request
    // HTTPS with this certificate chain and key (PEM files) instead of HTTP.
    struct Tls {
        std::filesystem::path certificate;
        std::filesystem::path key;
    };
    std::optional<Tls> tls;
    // Signs the catalogue's entries once their addresses are final.
    std::optional<publisher::EcKey> signingKey;
};

class UpdateServer {
public:
    explicit UpdateServer(ServiceSettings settings);
    ~UpdateServer();
    UpdateServer(const UpdateServer&) = delete;
    UpdateServer& operator=(const UpdateServer&) = delete;

    // Binds and listens on 127.0.0.1 (port 0: any free one), expands "{base}"
    // with the scheme and the bound port and signs the catalogue when it has
    // a key; the port, or -1 (also when the TLS files are unusable).
    int Bind(int port);
    // Accepts connections on a thread of its own; returns once it does.
    void Start();
    // Ends a pending delay, stops accepting and waits for the running requests.
    void Stop();

private:
    void AddRoutes();
    void AnswerProgramFiles(const httplib::Request& request, httplib::Response& response);
    void ServeDownload(const httplib::Request& request, httplib::Response& response);
    struct ServedCount;
    // The body from its owner's bytes, with the cut, rate, chunking and hold faults.
    void SendBody(httplib::Response& response, const DownloadFaults& faults, std::string_view body,
                  std::shared_ptr<const std::string> owner, std::shared_ptr<ServedCount> served);
    // False when Stop came first.
    bool WaitOut(std::chrono::milliseconds delay);
    // Writes the hold marker and waits until it is gone; false when Stop came first.
    bool Hold();
    void NoteServed(const ServedDownload& served);

    ServiceSettings m_settings;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::atomic<bool> m_listenEnded{false};
    std::mutex m_stopLock;
    std::condition_variable m_stopSignal;
    bool m_stopping = false;
};

}  // namespace testbed

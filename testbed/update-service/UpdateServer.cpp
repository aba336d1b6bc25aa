#include "UpdateServer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <fstream>
#include <iterator>
#include <sys/socket.h>

#include "CatalogueSigning.h"
#include "DownloadPath.h"
#include "RawQuery.h"
#include "Signature.h"

namespace testbed {
namespace {

constexpr const char* kHost = "127.0.0.1";

// Address reuse for quick restarts, but not port sharing: a second service on
// the same port must fail rather than split the connections with the first.
void ReuseAddressOnly(socket_t socket) {
    int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

void PrintRequest(const httplib::Request& request, const httplib::Response& response) {
    const auto line = request.method + " " + request.target + " " + std::to_string(response.status) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

std::unique_ptr<httplib::Server> MakeServer(const std::optional<ServiceSettings::Tls>& tls) {
    if (!tls) return std::make_unique<httplib::Server>();
    return std::make_unique<httplib::SSLServer>(tls->certificate.c_str(), tls->key.c_str());
}

}  // namespace

UpdateServer::UpdateServer(ServiceSettings settings)
    : m_settings(std::move(settings)), m_server(MakeServer(m_settings.tls)) {
    m_server->set_socket_options(ReuseAddressOnly);
    // Idle keep-alive connections hold up Stop for this long.
    m_server->set_keep_alive_timeout(1);
    AddRoutes();
}

UpdateServer::~UpdateServer() { Stop(); }

int UpdateServer::Bind(int port) {
    if (!m_server->is_valid()) return -1;
    const int bound = port == 0 ? m_server->bind_to_any_port(kHost) : (m_server->bind_to_port(kHost, port) ? port : -1);
    if (bound <= 0) return bound;
    const std::string scheme = m_settings.tls ? "https://" : "http://";
    ExpandBase(m_settings.catalogue, scheme + kHost + ":" + std::to_string(bound));
    if (m_settings.signingKey && !SignCatalogue(m_settings.catalogue, *m_settings.signingKey)) return -1;
    return bound;
}

void UpdateServer::Start() {
    m_thread = std::thread([this] {
        m_server->listen_after_bind();
        m_listenEnded = true;
    });
    // Stop does nothing to a server that is not running yet.
    while (!m_server->is_running() && !m_listenEnded) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void UpdateServer::Stop() {
    {
        const std::lock_guard guard(m_stopLock);
        m_stopping = true;
    }
    m_stopSignal.notify_all();
    m_server->stop();
    if (m_thread.joinable()) m_thread.join();
}

void UpdateServer::AddRoutes() {
    m_server->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        if (m_settings.log) {
            m_settings.log->Append({request.method, PathOfTarget(request.target), QueryOfTarget(request.target),
                                    request.get_header_value("User-Agent")});
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    if (m_settings.verbose) m_server->set_logger(PrintRequest);
    m_server->Get("/api/GetProgramFiles.ashx", [this](const httplib::Request& request, httplib::Response& response) {
        AnswerProgramFiles(request, response);
    });
    m_server->Get(R"(/download/(.*))", [this](const httplib::Request& request, httplib::Response& response) {
        ServeDownload(request, response);
    });
}

void UpdateServer::AnswerProgramFiles(const httplib::Request& request, httplib::Response& response) {
    if (!WaitOut(m_settings.faults.delay)) {
        response.status = 503;
        return;
    }
    const auto& catalogue = m_settings.catalogue;
    const auto verdict = CheckRequest(ParseRawQuery(QueryOfTarget(request.target)), catalogue.customer, catalogue.salt);
    const auto reply = ReplyWithFaults(m_settings.faults, AnswerFor(verdict, catalogue));
    response.status = reply.status;
    response.set_content(reply.body, reply.contentType.c_str());
}

void UpdateServer::ServeDownload(const httplib::Request& request, httplib::Response& response) {
    if (!m_settings.downloads) {
        response.status = 404;
        return;
    }
    const auto file = DownloadFile(*m_settings.downloads, request.matches[1].str());
    if (!file) {
        response.status = 400;
        return;
    }
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(*file, error)) in.open(*file, std::ios::binary);
    if (!in.is_open()) {
        response.status = 404;
        return;
    }
    std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const Faults& faults = m_settings.faults;
    if (faults.downloadStatus) {
        response.status = *faults.downloadStatus;
        return;
    }
    response.status = 200;
    if (!faults.downloadCut && !faults.downloadNoLength && !faults.downloadRate) {
        response.set_content(std::move(content), "application/octet-stream");
        return;
    }
    auto body = std::make_shared<const std::string>(std::move(content));
    const std::size_t limit = faults.downloadCut
                                  ? std::min<std::size_t>(body->size(), static_cast<std::size_t>(*faults.downloadCut))
                                  : body->size();
    // A throttled body goes out a tenth of the rate every 100 ms.
    const std::size_t step =
        faults.downloadRate ? std::max<std::size_t>(1, static_cast<std::size_t>(*faults.downloadRate / 10)) : 65536;
    const bool throttled = faults.downloadRate.has_value();
    auto send = [this, body, limit, step, throttled](std::size_t offset, httplib::DataSink& sink) {
        if (offset >= limit) return false;  // cut short: the connection closes
        if (throttled && !WaitOut(std::chrono::milliseconds(100))) return false;
        return sink.write(body->data() + offset, std::min(step, limit - offset));
    };
    if (faults.downloadNoLength) {
        response.set_chunked_content_provider("application/octet-stream",
                                              [send, body](std::size_t offset, httplib::DataSink& sink) {
                                                  if (offset >= body->size()) {
                                                      sink.done();
                                                      return true;
                                                  }
                                                  return send(offset, sink);
                                              });
        return;
    }
    response.set_content_provider(
        body->size(), "application/octet-stream",
        [send](std::size_t offset, std::size_t, httplib::DataSink& sink) { return send(offset, sink); });
}

bool UpdateServer::WaitOut(std::chrono::milliseconds delay) {
    std::unique_lock guard(m_stopLock);
    return !m_stopSignal.wait_for(guard, delay, [this] { return m_stopping; });
}

}  // namespace testbed

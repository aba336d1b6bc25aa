#include "UpdateServer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <fstream>
#include <iterator>
#include <sys/socket.h>

#include "ByteRange.h"
#include "CatalogueSigning.h"
#include "DownloadPath.h"
#include "FileValidators.h"
#include "RawQuery.h"
#include "Signature.h"

namespace testbed {
namespace {

constexpr const char* kHost = "127.0.0.1";
constexpr std::chrono::milliseconds kHoldStep{50};
constexpr int kHoldWaits = 1200;  // a minute

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
        // The library would cut a body to a single requested range by itself, even under a status 200
        // the handler set; downloads answer ranges themselves, so it must see none.
        const_cast<httplib::Request&>(request).ranges.clear();
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
    const auto content =
        std::make_shared<const std::string>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    ServedDownload served{std::string(PathOfTarget(request.target)), request.get_header_value("Range")};
    const DownloadFaults& faults = m_settings.faults.downloads.For(file->filename().string());
    if (faults.status) {
        served.status = response.status = *faults.status;
        NoteServed(served);
        return;
    }
    const long long size = static_cast<long long>(content->size());
    const auto changed = std::filesystem::last_write_time(*file, error);
    const auto validators = ValidatorsOf(size, std::chrono::file_clock::to_sys(changed));
    response.set_header("ETag", validators.etag);
    response.set_header("Last-Modified", validators.lastModified);
    if (!faults.ignoreRange) response.set_header("Accept-Ranges", "bytes");
    const auto range = faults.ignoreRange
                           ? ByteRange{}
                           : RequestedRange(request.get_header_value("Range"), request.get_header_value("If-Range"),
                                            {validators.etag, validators.lastModified}, size);
    if (range.kind == ByteRange::Kind::Unsatisfiable) {
        response.status = 416;
        response.set_header("Content-Range", "bytes */" + std::to_string(size));
        served.status = response.status;
        NoteServed(served);
        return;
    }
    const bool partial = range.kind == ByteRange::Kind::Partial;
    const long long first = partial ? range.first : 0;
    const long long length = partial ? range.last - range.first + 1 : size;
    response.status = partial ? 206 : 200;
    if (partial) {
        response.set_header("Content-Range", "bytes " + std::to_string(range.first) + "-" + std::to_string(range.last) +
                                                 "/" + std::to_string(size));
    }
    SendBody(response, faults, std::string_view(*content).substr(first, length), content,
             std::make_shared<ServedCount>(*this, ServedDownload{served.path, served.range, response.status, first}));
}

struct UpdateServer::ServedCount {
    ServedCount(UpdateServer& server, ServedDownload served) : server(server), served(std::move(served)) {}
    ~ServedCount() {
        served.bytes = bytes;
        server.NoteServed(served);
    }
    ServedCount(const ServedCount&) = delete;
    ServedCount& operator=(const ServedCount&) = delete;

    UpdateServer& server;
    ServedDownload served;
    std::atomic<long long> bytes{0};
};

void UpdateServer::SendBody(httplib::Response& response, const DownloadFaults& faults, std::string_view body,
                            std::shared_ptr<const std::string> owner, std::shared_ptr<ServedCount> served) {
    constexpr const char* kType = "application/octet-stream";
    if (body.empty()) {
        response.set_content(std::string(), kType);
        return;
    }
    const std::size_t limit =
        faults.cut ? std::min<std::size_t>(body.size(), static_cast<std::size_t>(*faults.cut)) : body.size();
    // A throttled body goes out a tenth of the rate every 100 ms.
    const std::size_t step =
        faults.rate ? std::max<std::size_t>(1, static_cast<std::size_t>(*faults.rate / 10)) : 65536;
    const bool throttled = faults.rate.has_value();
    const std::optional<std::size_t> hold = faults.hold;
    auto held = std::make_shared<bool>(false);
    auto send = [this, body, owner, served, limit, step, throttled, hold, held](std::size_t offset,
                                                                                httplib::DataSink& sink) {
        if (hold && offset >= *hold && !*held) {
            *held = true;
            if (!Hold()) return false;
        }
        if (offset >= limit) return false;  // cut short: the connection closes
        if (throttled && !WaitOut(std::chrono::milliseconds(100))) return false;
        std::size_t count = std::min(step, limit - offset);
        if (hold && offset < *hold) count = std::min(count, *hold - offset);
        if (!sink.write(body.data() + offset, count)) return false;
        served->bytes += static_cast<long long>(count);
        return true;
    };
    if (faults.noLength) {
        response.set_chunked_content_provider(kType,
                                              [send, size = body.size()](std::size_t offset, httplib::DataSink& sink) {
                                                  if (offset >= size) {
                                                      sink.done();
                                                      return true;
                                                  }
                                                  return send(offset, sink);
                                              });
        return;
    }
    response.set_content_provider(body.size(), kType, [send](std::size_t offset, std::size_t, httplib::DataSink& sink) {
        return send(offset, sink);
    });
}

bool UpdateServer::Hold() {
    const auto& marker = m_settings.holdMarker;
    std::ofstream(marker) << "held\n";
    std::error_code error;
    for (int wait = 0; wait < kHoldWaits && std::filesystem::exists(marker, error); ++wait) {
        if (!WaitOut(kHoldStep)) return false;
    }
    return true;
}

void UpdateServer::NoteServed(const ServedDownload& served) {
    if (m_settings.served) m_settings.served->AppendLine(ServedLine(served));
}

bool UpdateServer::WaitOut(std::chrono::milliseconds delay) {
    std::unique_lock guard(m_stopLock);
    return !m_stopSignal.wait_for(guard, delay, [this] { return m_stopping; });
}

}  // namespace testbed

// update-service: the update service and download server on 127.0.0.1, for
// the launcher's tests and the demo. See Usage below.
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <signal.h>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Catalogue.h"
#include "Faults.h"
#include "PortFile.h"
#include "RequestLog.h"
#include "UpdateServer.h"

namespace {

constexpr const char* kUsage =
    "usage: update-service --catalogue FILE [--port N] [--port-file FILE] [--downloads DIR]\n"
    "                      [--log FILE] [--served FILE] [--hold-marker FILE]\n"
    "                      [--lifetime SECONDS] [--fault KIND]... [--verbose]\n"
    "                      [--sign-key PRIVATE.pem] [--tls-cert CHAIN.pem --tls-key KEY.pem]\n"
    "  KIND: status:<code> | malformed | truncated | delay:<ms> | no-result | empty-list\n"
    "      | change:<n>:<field>:<text> | copy-signature:<from>:<to> | DOWNLOAD[@<file name>]\n"
    "  DOWNLOAD: download-status:<code> | download-cut:<bytes> | download-no-length\n"
    "      | download-rate:<bytes per second> | download-ignore-range | download-hold:<bytes>\n"
    "      with @<file name>, for that file only (it then gets none of the others)\n"
    "  downloads answer \"Range: bytes=N-[M]\" with 206 (If-Range: the ETag or Last-Modified)\n"
    "  --served: one line per download: path, Range asked, status, first byte, body bytes sent\n"
    "  --hold-marker: download-hold writes this file after that many body bytes and\n"
    "      sends the rest once the file is gone (at most a minute later)\n"
    "  --sign-key: signs every catalogue entry that has no cSignature\n"
    "  --tls-cert/--tls-key: serves HTTPS; \"{base}\" then starts with https://\n";

struct Arguments {
    int port = 0;
    std::optional<std::filesystem::path> portFile;
    std::filesystem::path catalogue;
    std::optional<std::filesystem::path> downloads;
    std::optional<std::filesystem::path> log;
    std::optional<std::filesystem::path> served;
    std::filesystem::path holdMarker;
    long long lifetimeSeconds = 900;
    testbed::Faults faults;
    bool verbose = false;
    std::optional<std::filesystem::path> signKey;
    std::optional<std::filesystem::path> tlsCertificate;
    std::optional<std::filesystem::path> tlsKey;
};

std::optional<long long> WholeNumber(std::string_view text, long long low, long long high) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

// nullopt after telling what is wrong on stderr.
std::optional<Arguments> ParseArguments(int argc, char** argv) {
    Arguments arguments;
    bool haveCatalogue = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--verbose") {
            arguments.verbose = true;
            continue;
        }
        if (i + 1 >= argc) {
            std::cerr << "update-service: " << option << " needs a value\n" << kUsage;
            return std::nullopt;
        }
        const std::string_view value = argv[++i];
        bool valid = true;
        if (option == "--port") {
            const auto port = WholeNumber(value, 0, 65535);
            valid = port.has_value();
            arguments.port = static_cast<int>(port.value_or(0));
        } else if (option == "--port-file") {
            arguments.portFile = value;
        } else if (option == "--catalogue") {
            arguments.catalogue = value;
            haveCatalogue = true;
        } else if (option == "--downloads") {
            arguments.downloads = value;
        } else if (option == "--log") {
            arguments.log = value;
        } else if (option == "--served") {
            arguments.served = value;
        } else if (option == "--hold-marker") {
            arguments.holdMarker = value;
        } else if (option == "--lifetime") {
            const auto seconds = WholeNumber(value, 1, 24 * 3600);
            valid = seconds.has_value();
            arguments.lifetimeSeconds = seconds.value_or(0);
        } else if (option == "--sign-key") {
            arguments.signKey = value;
        } else if (option == "--tls-cert") {
            arguments.tlsCertificate = value;
        } else if (option == "--tls-key") {
            arguments.tlsKey = value;
        } else if (option == "--fault") {
            valid = testbed::AddFault(arguments.faults, value);
        } else {
            std::cerr << "update-service: unknown option " << option << "\n" << kUsage;
            return std::nullopt;
        }
        if (!valid) {
            std::cerr << "update-service: bad value for " << option << ": " << value << "\n" << kUsage;
            return std::nullopt;
        }
    }
    if (!haveCatalogue) {
        std::cerr << "update-service: --catalogue is required\n" << kUsage;
        return std::nullopt;
    }
    if (arguments.faults.downloads.Holds() && arguments.holdMarker.empty()) {
        std::cerr << "update-service: download-hold needs --hold-marker\n" << kUsage;
        return std::nullopt;
    }
    if (arguments.tlsCertificate.has_value() != arguments.tlsKey.has_value()) {
        std::cerr << "update-service: --tls-cert and --tls-key go together\n" << kUsage;
        return std::nullopt;
    }
    return arguments;
}

// Until SIGTERM or SIGINT arrives or the lifetime is over. The signals must
// be blocked in every thread beforehand so that only this wait receives them.
void WaitForEnd(const sigset_t& endSignals, std::chrono::seconds lifetime) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + lifetime;
    while (true) {
        const auto left = duration_cast<nanoseconds>(deadline - steady_clock::now());
        if (left.count() <= 0) return;
        const timespec timeout{static_cast<std::time_t>(left.count() / 1'000'000'000),
                               static_cast<long>(left.count() % 1'000'000'000)};
        if (::sigtimedwait(&endSignals, nullptr, &timeout) >= 0) return;
        if (errno != EINTR && errno != EAGAIN) return;
    }
}

// None without a file; none either, after saying so, when it cannot be opened.
std::unique_ptr<testbed::RequestLog> OpenLog(const std::optional<std::filesystem::path>& file) {
    if (!file) return nullptr;
    auto log = std::make_unique<testbed::RequestLog>(*file);
    if (log->IsOpen()) return log;
    std::cerr << "update-service: cannot open the log " << *file << "\n";
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const auto arguments = ParseArguments(argc, argv);
    if (!arguments) return 2;

    std::string error;
    auto catalogue = testbed::ReadCatalogue(arguments->catalogue, error);
    if (!catalogue) {
        std::cerr << "update-service: catalogue " << arguments->catalogue << ": " << error << "\n";
        return 1;
    }
    if (arguments->downloads && !std::filesystem::is_directory(*arguments->downloads)) {
        std::cerr << "update-service: no folder " << *arguments->downloads << "\n";
        return 1;
    }
    const auto log = OpenLog(arguments->log);
    const auto served = OpenLog(arguments->served);
    if ((arguments->log && !log) || (arguments->served && !served)) return 1;

    testbed::ServiceSettings settings;
    settings.catalogue = std::move(*catalogue);
    settings.faults = arguments->faults;
    settings.downloads = arguments->downloads;
    settings.log = log.get();
    settings.served = served.get();
    settings.holdMarker = arguments->holdMarker;
    settings.verbose = arguments->verbose;
    if (arguments->signKey) {
        settings.signingKey = publisher::EcKey::ReadPrivate(*arguments->signKey, error);
        if (!settings.signingKey) {
            std::cerr << "update-service: " << error << "\n";
            return 1;
        }
    }
    if (arguments->tlsCertificate) settings.tls = {*arguments->tlsCertificate, *arguments->tlsKey};

    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    testbed::UpdateServer server(std::move(settings));
    const int port = server.Bind(arguments->port);
    if (port < 0) {
        std::cerr << "update-service: cannot listen on 127.0.0.1:" << arguments->port
                  << " (or the TLS files or the signing key are unusable)\n";
        return 1;
    }
    if (arguments->portFile && !testbed::WritePortFile(*arguments->portFile, port)) {
        std::cerr << "update-service: cannot write the port file " << *arguments->portFile << "\n";
        return 1;
    }
    server.Start();
    WaitForEnd(endSignals, std::chrono::seconds(arguments->lifetimeSeconds));
    server.Stop();
    return 0;
}

// terminal-sim: simulated terminals on 127.0.0.1 for the terminal SDK stand-in
// (testbed/zkemkeeper). Each terminal listens on a free port of its own; the
// ports go to --ports-file, one a line, terminal 1 first. Tests drive the
// terminals through the control port (see ControlCommand.h for the commands)
// and the terminals' line protocol is in TerminalProtocol.h.
#include <charconv>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "SimulatorServer.h"

namespace {

constexpr const char* kUsage =
    "usage: terminal-sim --terminals N --ports-file FILE --control-port-file FILE\n"
    "                    [--seed S] [--lifetime SECONDS]\n";

struct Arguments {
    int terminals = 0;
    std::filesystem::path portsFile;
    std::filesystem::path controlPortFile;
    std::uint32_t seed = 1;
    long long lifetimeSeconds = 600;
};

std::optional<long long> WholeNumber(std::string_view text, long long low, long long high) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<Arguments> ParseArguments(int argc, char** argv) {
    Arguments arguments;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view option = argv[i];
        const std::string_view value = argv[i + 1];
        std::optional<long long> number;
        if (option == "--terminals" && (number = WholeNumber(value, 1, 1000))) {
            arguments.terminals = static_cast<int>(*number);
        } else if (option == "--seed" && (number = WholeNumber(value, 0, 0xFFFFFFFFLL))) {
            arguments.seed = static_cast<std::uint32_t>(*number);
        } else if (option == "--lifetime" && (number = WholeNumber(value, 1, 24 * 3600))) {
            arguments.lifetimeSeconds = *number;
        } else if (option == "--ports-file") {
            arguments.portsFile = value;
        } else if (option == "--control-port-file") {
            arguments.controlPortFile = value;
        } else {
            std::cerr << "terminal-sim: bad option or value: " << option << " " << value << "\n" << kUsage;
            return std::nullopt;
        }
    }
    if (argc % 2 == 0 || arguments.terminals == 0 || arguments.portsFile.empty() || arguments.controlPortFile.empty()) {
        std::cerr << kUsage;
        return std::nullopt;
    }
    return arguments;
}

// Written beside the target and renamed into place, so a reader never sees half of it.
bool WriteWhole(const std::filesystem::path& file, const std::string& text) {
    auto temporary = file;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    const auto arguments = ParseArguments(argc, argv);
    if (!arguments) return 2;
    std::signal(SIGPIPE, SIG_IGN);

    terminal_sim::SimulatorServer server(arguments->terminals, arguments->seed);
    if (!server.Open()) {
        std::cerr << "terminal-sim: cannot listen on 127.0.0.1\n";
        return 1;
    }
    std::string ports;
    for (int port : server.Ports()) ports += std::to_string(port) + "\n";
    // The control port comes last: once it exists, the terminals' ports do too.
    if (!WriteWhole(arguments->portsFile, ports) ||
        !WriteWhole(arguments->controlPortFile, std::to_string(server.ControlPort()) + "\n")) {
        std::cerr << "terminal-sim: cannot write the port files\n";
        return 1;
    }
    server.Run(std::chrono::steady_clock::now() + std::chrono::seconds(arguments->lifetimeSeconds));
    return 0;
}

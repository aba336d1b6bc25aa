#include "CommandLineArguments.h"

#include <cstddef>

namespace testbed {
namespace {

constexpr std::string_view kBlanks = " \t";

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsExeWord(std::string_view text, std::size_t end) {
    constexpr std::string_view kExe = ".exe";
    if (end < kExe.size() || (end < text.size() && !IsBlank(text[end]))) {
        return false;
    }
    for (std::size_t i = 0; i < kExe.size(); ++i) {
        if (AsciiLower(text[end - kExe.size() + i]) != kExe[i]) {
            return false;
        }
    }
    return true;
}

std::size_t ProgramNameEnd(std::string_view line) {
    if (!line.empty() && line.front() == '"') {
        const std::size_t quote = line.find('"', 1);
        return quote == std::string_view::npos ? line.size() : quote + 1;
    }
    for (std::size_t end = 1; end <= line.size(); ++end) {
        if (EndsExeWord(line, end)) {
            return end;
        }
    }
    const std::size_t blank = line.find_first_of(kBlanks);
    return blank == std::string_view::npos ? line.size() : blank;
}

}  // namespace

std::string_view ArgumentsOf(std::string_view commandLine) {
    const std::size_t start = commandLine.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) {
        return {};
    }
    std::string_view rest = commandLine.substr(start);
    rest.remove_prefix(ProgramNameEnd(rest));
    const std::size_t arguments = rest.find_first_not_of(kBlanks);
    return arguments == std::string_view::npos ? std::string_view{} : rest.substr(arguments);
}

}  // namespace testbed

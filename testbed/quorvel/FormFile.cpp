#include "FormFile.h"

namespace testbed {
namespace {

// The name of a "[name]" line, or empty when the line is no header.
std::string_view HeaderName(std::string_view line) {
    if (line.size() < 3 || line.front() != '[' || line.back() != ']') {
        return {};
    }
    return line.substr(1, line.size() - 2);
}

}  // namespace

std::string JoinFormSections(const std::map<std::string, std::string>& sections) {
    std::string text;
    for (const auto& [name, body] : sections) {
        text += "[" + name + "]\n" + body;
        if (!body.empty() && body.back() != '\n') {
            text += '\n';
        }
    }
    return text;
}

std::map<std::string, std::string> SplitFormSections(std::string_view text) {
    std::map<std::string, std::string> sections;
    std::string* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (const std::string_view name = HeaderName(line); !name.empty()) {
            current = &sections[std::string(name)];
            current->clear();
        } else if (current) {
            current->append(line).push_back('\n');
        }
    }
    return sections;
}

}  // namespace testbed

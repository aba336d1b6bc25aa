#pragma once
// A run log that keeps its lines, masked and escaped as the real one writes them.
#include <string>
#include <string_view>
#include <vector>

#include "launcher/RunLog.h"

namespace launcher {

class FakeRunLog : public IRunLog {
public:
    void Write(std::string_view event) override { lines.push_back(FormatRunLogLine({}, 7, event, secrets)); }
    void Conceal(std::string_view secret) override { secrets.emplace_back(secret); }

    // Every line, joined.
    std::string Text() const {
        std::string text;
        for (const auto& line : lines) text += line;
        return text;
    }
    bool Holds(std::string_view part) const { return Text().find(part) != std::string::npos; }

    std::vector<std::string> lines;
    std::vector<std::string> secrets;
};

}  // namespace launcher

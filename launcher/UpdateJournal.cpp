#include "UpdateJournal.h"

#include <charconv>
#include <string_view>

#include "common/LineSplitter.h"

namespace launcher {
namespace {

constexpr std::string_view kHeader = "quorvel-switch-1";
constexpr std::string_view kEnd = "end";

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

std::optional<bool> Flag(std::string_view text) {
    if (text == "0") return false;
    if (text == "1") return true;
    return std::nullopt;
}

std::optional<SwitchStep> ParseStep(std::string_view line) {
    const auto fields = SplitTabs(line);
    if (fields.size() != 4) return std::nullopt;
    SwitchStep step;
    const auto [end, error] = std::from_chars(fields[0].data(), fields[0].data() + fields[0].size(), step.nPosition);
    const auto reg = Flag(fields[1]);
    const auto had = Flag(fields[2]);
    if (error != std::errc{} || end != fields[0].data() + fields[0].size() || step.nPosition < 1 || !reg || !had ||
        fields[3].empty()) {
        return std::nullopt;
    }
    step.bRegister = *reg;
    step.bHadTarget = *had;
    step.strTarget = std::string(fields[3]);
    return step;
}

}  // namespace

std::string FormatJournal(const std::vector<SwitchStep>& steps) {
    std::string text = std::string(kHeader) + "\r\n";
    for (const auto& step : steps) {
        text += std::to_string(step.nPosition) + "\t" + (step.bRegister ? "1" : "0") + "\t" +
                (step.bHadTarget ? "1" : "0") + "\t" + step.strTarget + "\r\n";
    }
    return text + std::string(kEnd) + "\r\n";
}

std::optional<std::vector<SwitchStep>> ParseJournal(const std::string& text) {
    std::vector<SwitchStep> steps;
    qv::LineSplitter lines;
    lines.Add(text);
    bool header = false;
    while (const auto line = lines.Next()) {
        if (!header) {
            if (*line != kHeader) return std::nullopt;
            header = true;
        } else if (*line == kEnd) {
            return lines.Pending() == 0 ? std::optional(steps) : std::nullopt;
        } else if (const auto step = ParseStep(*line)) {
            steps.push_back(*step);
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace launcher

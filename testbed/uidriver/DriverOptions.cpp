#include "DriverOptions.h"

#include <charconv>
#include <cstddef>
#include <string_view>
#include <system_error>
#include <utility>

namespace testbed {
namespace {

constexpr int kLargestButtonId = 0xFFFF;

std::optional<int> WholeNumber(std::string_view text, int smallest, int largest) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || value < smallest || value > largest) {
        return std::nullopt;
    }
    return value;
}

std::optional<AnswerRule> ParseAnswer(std::string_view text) {
    // The button is a number, so the last "=" divides: the text part may hold "=" too.
    const std::size_t equals = text.rfind('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int> button = WholeNumber(text.substr(equals + 1), 1, kLargestButtonId);
    if (!button) {
        return std::nullopt;
    }
    return AnswerRule{std::string(text.substr(0, equals)), *button};
}

ParsedOptions Mistake(std::string error) {
    ParsedOptions result;
    result.error = std::move(error);
    return result;
}

}  // namespace

const char kDriverUsage[] =
    "usage: uidriver [--log FILE] [--stop FILE] [--timeout SECONDS] [--answer-delay MS]\n"
    "                [--answer SUBSTRING=BUTTON]... [--watch CLASSNAME]...\n"
    "  Records message boxes (class #32770) and watched windows as JSON lines in FILE\n"
    "  (standard output without --log) and answers each box: the first unused --answer\n"
    "  whose SUBSTRING occurs in the box's text picks the button id and is used up;\n"
    "  otherwise the box's default button. Ends after SECONDS (60) or when the stop\n"
    "  file exists. Exit code 0, or 2 for bad arguments.\n";

ParsedOptions ParseDriverOptions(const std::vector<std::string>& arguments) {
    DriverOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h" || name == "/?") {
            ParsedOptions result;
            result.helpWanted = true;
            return result;
        }
        if (i + 1 == arguments.size()) {
            return Mistake(name.rfind("--", 0) == 0 ? name + " needs a value" : "unexpected argument " + name);
        }
        const std::string& value = arguments[++i];
        if (name == "--log" || name == "--stop") {
            if (value.empty()) {
                return Mistake(name + " needs a file name");
            }
            (name == "--log" ? options.logFile : options.stopFile) = value;
        } else if (name == "--timeout") {
            const std::optional<int> seconds = WholeNumber(value, 1, 24 * 3600);
            if (!seconds) {
                return Mistake("--timeout needs whole seconds from 1 to 86400, not " + value);
            }
            options.timeoutSeconds = *seconds;
        } else if (name == "--answer-delay") {
            const std::optional<int> milliseconds = WholeNumber(value, 0, 600 * 1000);
            if (!milliseconds) {
                return Mistake("--answer-delay needs milliseconds from 0 to 600000, not " + value);
            }
            options.answerDelayMs = *milliseconds;
        } else if (name == "--answer") {
            const std::optional<AnswerRule> rule = ParseAnswer(value);
            if (!rule) {
                return Mistake("--answer needs SUBSTRING=BUTTON with a button id from 1 to 65535, not " + value);
            }
            options.answers.push_back(*rule);
        } else if (name == "--watch") {
            if (value.empty()) {
                return Mistake("--watch needs a window class name");
            }
            options.watchClasses.push_back(value);
        } else {
            return Mistake("unknown option " + name);
        }
    }
    ParsedOptions result;
    result.options = std::move(options);
    return result;
}

}  // namespace testbed

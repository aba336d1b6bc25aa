#pragma once
// The command line of uidriver.exe.
#include <optional>
#include <string>
#include <vector>

namespace testbed {

struct AnswerRule {
    std::string textPart;  // may be empty: then it matches any box
    int button = 0;        // control id: 1 OK, 2 Cancel, 6 Yes, 7 No ...
};

struct DriverOptions {
    std::string logFile;   // empty: standard output
    std::string stopFile;  // empty: none
    int timeoutSeconds = 60;
    int answerDelayMs = 300;
    std::vector<AnswerRule> answers;  // in the order given
    std::vector<std::string> watchClasses;
};

struct ParsedOptions {
    std::optional<DriverOptions> options;  // empty on a mistake or for --help
    bool helpWanted = false;
    std::string error;  // what is wrong, when the options are empty and no help was asked for
};

ParsedOptions ParseDriverOptions(const std::vector<std::string>& arguments);

extern const char kDriverUsage[];

}  // namespace testbed

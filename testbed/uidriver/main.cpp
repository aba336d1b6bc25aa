// uidriver.exe: finds and answers message boxes and records watched windows
// for the end-to-end tests (see DriverOptions.cpp for the command line).
#include <cstdio>
#include <string>
#include <vector>

#include "Driver.h"
#include "DriverOptions.h"
#include "EventLog.h"
#include "common/win32/TextConvert.h"

namespace {

constexpr int kBadArguments = 2;
constexpr int kCannotWriteLog = 1;

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(qv::win::Narrow(argv[i]));
    }
    const testbed::ParsedOptions parsed = testbed::ParseDriverOptions(arguments);
    if (parsed.helpWanted) {
        std::fputs(testbed::kDriverUsage, stdout);
        return 0;
    }
    if (!parsed.options) {
        std::fprintf(stderr, "uidriver: %s\n%s", parsed.error.c_str(), testbed::kDriverUsage);
        return kBadArguments;
    }
    testbed::EventLog log;
    if (!log.Open(parsed.options->logFile)) {
        std::fprintf(stderr, "uidriver: cannot write %s\n", parsed.options->logFile.c_str());
        return kCannotWriteLog;
    }
    testbed::RunDriver(*parsed.options, log);
    return 0;
}

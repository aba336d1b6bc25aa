// Arj32.exe: extracts ARJ archives for the launcher (command e, switch -y).
#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "testbed/arj32/ArjCommand.h"
#include "common/win32/TextConvert.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(qv::win::Narrow(argv[i]));
    const int code = arj::RunArj32(args, std::cout, std::cerr);
    const wchar_t* forced = _wgetenv(L"QV_ARJ32_EXIT_CODE");
    const auto command = arj::ParseCommandLine(args);
    if (!forced || !command) return code;
    return arj::ForcedExitCode(qv::win::Narrow(forced), command->archive).value_or(code);
}

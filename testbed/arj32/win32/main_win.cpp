// Arj32.exe: extracts ARJ archives for the launcher (command e, switch -y).
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "testbed/arj32/ArjCommand.h"
#include "common/win32/TextConvert.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(qv::win::Narrow(argv[i]));
    return arj::RunArj32(args, std::cout, std::cerr);
}

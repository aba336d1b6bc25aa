// arj32-native: the extractor behind Arj32.exe as a Linux program, for benchmarks and tests.
#include <iostream>

#include "ArjCommand.h"

int main(int argc, char** argv) {
    return arj::RunArj32(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}

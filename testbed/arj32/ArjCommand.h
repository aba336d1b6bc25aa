#pragma once
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace arj {

// What the command line asks for: e <archive> [-y] [<destination folder>].
struct ExtractCommand {
    std::string archive;
    std::string destination;  // empty: the current folder
};

// Switches may stand anywhere; -y (overwrite without asking) is what we always
// do, other switches are ignored. Trailing blanks of the destination are
// dropped: a caller that quotes a folder ending in '\' puts a blank before the
// closing quote so that the quote is not escaped. Nothing for an unknown
// command or a missing archive.
std::optional<ExtractCommand> ParseCommandLine(const std::vector<std::string>& args);

// For the launcher's tests: the exit code that the setting "<code>" or
// "<code>@<archive file name>" (from the environment variable
// QV_ARJ32_EXIT_CODE) forces after the extraction of this archive; nothing
// without a setting, for another archive or for a setting that is no number.
std::optional<int> ForcedExitCode(const std::string& setting, const std::string& archive);

// Runs the program: arguments without the program name, UTF-8. Returns the exit
// code: 0 on success, 1 for a damaged or unsupported archive, 2 for a bad command line.
int RunArj32(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace arj

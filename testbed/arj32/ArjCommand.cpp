#include "ArjCommand.h"

#include <charconv>
#include <exception>

#include "ArjError.h"
#include "ArjExtractor.h"
#include "ByteStreams.h"
#include "FolderOutput.h"

namespace arj {

std::optional<ExtractCommand> ParseCommandLine(const std::vector<std::string>& args) {
    std::vector<std::string> words;
    for (const std::string& arg : args) {
        if (arg.size() > 1 && arg[0] == '-') continue;
        words.push_back(arg);
    }
    if (words.size() < 2 || words.size() > 3 || (words[0] != "e" && words[0] != "E") || words[1].empty())
        return std::nullopt;
    ExtractCommand command{words[1], words.size() == 3 ? words[2] : std::string()};
    while (!command.destination.empty() && command.destination.back() == ' ') command.destination.pop_back();
    return command;
}

std::optional<int> ForcedExitCode(const std::string& setting, const std::string& archive) {
    const auto at = setting.find('@');
    const std::string code = setting.substr(0, at);
    int value = 0;
    const auto [end, error] = std::from_chars(code.data(), code.data() + code.size(), value);
    if (code.empty() || error != std::errc{} || end != code.data() + code.size()) return std::nullopt;
    if (at == std::string::npos) return value;
    const std::string name = setting.substr(at + 1);
    const auto slash = archive.find_last_of("\\/");
    const std::string archiveName = slash == std::string::npos ? archive : archive.substr(slash + 1);
    if (archiveName != name) return std::nullopt;
    return value;
}

int RunArj32(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto command = ParseCommandLine(args);
    if (!command) {
        err << "usage: Arj32 e <archive> [-y] [<destination folder>]\n";
        return 2;
    }
    try {
        FileSource archive(PathFromUtf8(command->archive));
        FolderOutput folder(PathFromUtf8(command->destination));
        const int files = ExtractArchive(archive, folder);
        out << "Extracted " << files << " file(s) from " << command->archive << "\n";
        return 0;
    } catch (const std::exception& error) {
        err << "Arj32: " << command->archive << ": " << error.what() << "\n";
        return 1;
    }
}

}  // namespace arj

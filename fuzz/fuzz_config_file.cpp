// Arbitrary bytes as the version file: reading never misbehaves, a read that
// fails says so in exactly one error box, and whatever is held survives a
// rewrite and a read back unchanged, also after values were set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/tests/support/FakeFileSystem.h"
#include "launcher/tests/support/FakeMessageBox.h"
#include "common/TextCase.h"
#include "launcher/clsDealConfigFile.h"

namespace {

using launcher::clsDealConfigFile;
using launcher::FakeFileSystem;
using launcher::FakeMessageBox;

const std::string kPath = "C:\\Quorvel\\FileVersion.cfg";

void Require(bool condition) {
    if (!condition) std::abort();
}

// The written file as lines; each must have ended in CR LF.
std::vector<std::string> WrittenLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        Require(end != std::string::npos);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Rewrites, checks the file's shape and that a fresh read gives the same
// entries back, and returns the written lines.
std::vector<std::string> RewriteAndCheck(FakeFileSystem& files, clsDealConfigFile& config) {
    Require(config.ReWriteFile(kPath));
    Require(files.Files().size() == 1);  // no temporary file left behind
    const std::string written = files.Content(kPath).value();
    const std::vector<std::string> lines = WrittenLines(written);

    FakeMessageBox boxes;
    clsDealConfigFile reread(files, boxes);
    Require(reread.ReadConfigFile(kPath));
    Require(boxes.Shown().empty());
    std::set<std::string> foldedKeys;
    for (const std::string& line : lines) {
        Require(line.find_first_of("\r\n") == std::string::npos);
        const std::size_t equals = line.find('=');
        Require(equals != std::string::npos);
        const std::string key = line.substr(0, equals);
        Require(foldedKeys.insert(qv::AsciiLower(key)).second);
        const std::string value = line.substr(equals + 1);
        Require(config.GetConfigValue(key) == value);
        Require(config.GetConfigValue(qv::AsciiUpper(key)) == value);
        Require(reread.GetConfigValue(qv::AsciiLower(key)) == value);
    }
    Require(reread.ReWriteFile(kPath));
    Require(files.Content(kPath) == written);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    FakeFileSystem files;
    FakeMessageBox boxes;
    files.SetFile(kPath, content);
    clsDealConfigFile config(files, boxes);

    const bool read = config.ReadConfigFile(kPath);
    Require(boxes.Shown().size() == (read ? 0u : 1u));
    if (!read) {
        const auto& box = boxes.Shown().front();
        Require(box.title == "错误" && box.flags == 0x1010);
    }
    const std::vector<std::string> before = RewriteAndCheck(files, config);

    // Set an existing key in other letters (or a new one) to a value taken
    // from the input; keys and values without line breaks or "=" in the key
    // are all the launcher ever sets.
    const std::string key =
        before.empty() ? "new.dll" : qv::AsciiUpper(before.front().substr(0, before.front().find('=')));
    std::string value = content.substr(0, content.find_first_of("\r\n"));
    config.SetConfigValue(key, value);
    Require(config.GetConfigValue(key) == value);
    const std::vector<std::string> after = RewriteAndCheck(files, config);
    Require(after.size() == (before.empty() ? 1u : before.size()));
    Require(after.back() == key + "=" + value);
    return 0;
}

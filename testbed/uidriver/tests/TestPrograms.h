#pragma once
// Helpers for the tests that run the test bed's programs: a scratch folder,
// starting a program, bounded waits that keep this thread's windows answering,
// and reading the programs' logs.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace testbed::tests {

// Every wait in these tests gives up after this long.
inline constexpr DWORD kWaitLimitMs = 20000;

// The folder of this test program, where the build puts the programs too.
std::filesystem::path ProgramsFolder();

// A new empty folder under the temporary folder, removed with what it holds.
class ScratchFolder {
public:
    explicit ScratchFolder(std::wstring_view stem);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(std::wstring_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

struct RunningProgram {
    qv::win::UniqueHandle process;
    DWORD id = 0;
};

// CreateProcessW with this command line as given (no quoting added). With a
// show command, STARTF_USESHOWWINDOW is set with it.
std::optional<RunningProgram> StartProgram(const std::wstring& commandLine, std::optional<WORD> show = std::nullopt);

// The exit code, or empty when the program is still running after `limitMs`.
std::optional<DWORD> WaitForExit(const RunningProgram& program, DWORD limitMs = kWaitLimitMs);

// Calls `done` until it is true or the limit passes, processing this thread's
// messages in between. Returns the last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD limitMs = kWaitLimitMs);

void CreateEmptyFile(const std::filesystem::path& file);

// The UTF-8 lines of a file without their CR LF; none when it is missing.
std::vector<std::string> ReadLines(const std::filesystem::path& file);
std::vector<std::string> SplitTabs(std::string_view line);

// The raw JSON text of a top-level field of a one-line object ("\"stop\"",
// "true", "[1,2]"), or empty when the object has no such field.
std::string JsonField(std::string_view object, std::string_view key);

// The lines whose "kind" field is `kind` (given with its quotes).
std::vector<std::string> LinesOfKind(const std::vector<std::string>& lines, std::string_view kind);

}  // namespace testbed::tests

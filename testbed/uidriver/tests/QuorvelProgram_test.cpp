// quorvel.exe started the way the launcher starts it, from a copy in a folder
// of its own, and ended in each of its three ways.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestPrograms.h"
#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"

namespace {

namespace fs = std::filesystem;
using namespace testbed::tests;
using qv::win::Narrow;

struct WindowSearch {
    DWORD process;
    HWND window = nullptr;
};

BOOL CALLBACK FindStandInWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    if (owner == search->process && std::wstring(title) == L"Quorvel") {
        search->window = window;
        return FALSE;
    }
    return TRUE;
}

HWND StandInWindowOf(DWORD process) {
    WindowSearch search{process};
    EnumWindows(FindStandInWindow, reinterpret_cast<LPARAM>(&search));
    return search.window;
}

// WM_GETTEXT: Wine's GetWindowText does not read other processes' controls.
std::string WindowText(HWND window) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kWaitLimitMs,
                        &length);
    return Narrow(std::wstring_view(text, length));
}

class QuorvelProgram : public ::testing::Test {
protected:
    // A folder with a blank and Chinese characters in its name, as installations have.
    QuorvelProgram() : m_folder(L"学校 客户端") {
        fs::copy_file(ProgramsFolder() / L"quorvel.exe", m_folder / L"quorvel.exe");
    }

    ~QuorvelProgram() override {
        if (m_program && WaitForSingleObject(m_program->process.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_program->process.Get(), 1);
            WaitForExit(*m_program);
        }
    }

    // The launcher's way: the path unquoted, then the arguments.
    std::wstring CommandLine(const std::wstring& arguments) const {
        return (m_folder / L"quorvel.exe").wstring() + arguments;
    }

    void Start(const std::wstring& arguments, std::optional<WORD> show) {
        m_program = StartProgram(CommandLine(arguments), show);
        ASSERT_TRUE(m_program) << "CreateProcess failed: " << GetLastError();
    }

    std::vector<std::string> Log() const { return ReadLines(m_folder / L"quorvel.started.log"); }

    std::vector<std::string> WaitForLogLines(std::size_t count) const {
        WaitUntil([&] { return Log().size() >= count; });
        return Log();
    }

    // Waits for the program to end by itself and checks the "exited" line it leaves.
    void ExpectExit(const std::string& reason) {
        ASSERT_EQ(WaitForExit(*m_program), 0u) << "did not end by itself with exit code 0";
        const std::vector<std::string> lines = Log();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(SplitTabs(lines[1]), (std::vector<std::string>{"exited", std::to_string(m_program->id), reason}));
    }

    ScratchFolder m_folder;
    std::optional<RunningProgram> m_program;
};

TEST_F(QuorvelProgram, LogsItsStartShowsItsWindowAndEndsOnTheExitFile) {
    Start(L" debug", SW_SHOWNORMAL);
    const std::vector<std::string> lines = WaitForLogLines(1);
    ASSERT_EQ(lines.size(), 1u);
    const std::vector<std::string> fields = SplitTabs(lines[0]);
    ASSERT_EQ(fields.size(), 5u) << lines[0];
    EXPECT_EQ(fields[0], "started");
    EXPECT_EQ(fields[1], std::to_string(m_program->id));
    // Windows hands the program its command line unchanged; Wine puts quotes
    // around a program path with blanks that it found in an unquoted line.
    const std::string path = Narrow((m_folder / L"quorvel.exe").wstring());
    EXPECT_THAT(fields[2], ::testing::AnyOf(path + " debug", "\"" + path + "\" debug"));
    EXPECT_EQ(fields[3], "1");  // SW_SHOWNORMAL
    // This test started it.
    EXPECT_EQ(fields[4], std::to_string(GetCurrentProcessId()));

    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window = StandInWindowOf(m_program->id)); }));
    HWND label = GetWindow(window, GW_CHILD);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(WindowText(label), "Quorvel 主程序（测试替身） debug");

    CreateEmptyFile(m_folder / L"quorvel.exit");
    ExpectExit("exit-file");
}

TEST_F(QuorvelProgram, EndsWhenItsWindowIsClosed) {
    Start(L"", SW_SHOWNORMAL);
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window = StandInWindowOf(m_program->id)); }));
    EXPECT_EQ(WindowText(GetWindow(window, GW_CHILD)), "Quorvel 主程序（测试替身）");
    PostMessageW(window, WM_CLOSE, 0, 0);
    ExpectExit("closed");
}

TEST_F(QuorvelProgram, EndsWhenItsLifetimeRunsOutAndLogsAMissingShowRequest) {
    SetEnvironmentVariableW(L"QV_STANDIN_LIFETIME", L"1");
    Start(L"", std::nullopt);
    SetEnvironmentVariableW(L"QV_STANDIN_LIFETIME", nullptr);
    const std::vector<std::string> lines = WaitForLogLines(1);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(SplitTabs(lines[0])[3], "-1");
    ExpectExit("lifetime");
}

}  // namespace

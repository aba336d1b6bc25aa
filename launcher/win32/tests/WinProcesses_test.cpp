#include "launcher/win32/WinProcesses.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "common/TextCase.h"
#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"
#include <objbase.h>

namespace {

namespace fs = std::filesystem;
using launcher::win::WinProcesses;
using qv::win::Narrow;
using qv::win::UniqueHandle;

constexpr DWORD kChildLimitMs = 10000;

fs::path SleeperProgram() {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return fs::path(self).parent_path() / QV_TEST_SLEEPER;
}

bool RunsUnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// What a sleeper wrote about its own start.
struct StartReport {
    DWORD processId = 0;
    DWORD startupFlags = 0;
    unsigned showWindow = 0;
    std::string commandLine;
};

// Children are copies of the sleeper under names of their own, in a folder
// whose name holds a blank. WMI needs COM on the test thread.
class WinProcessesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        comReady_ = true;
        const std::wstring id = std::to_wstring(GetCurrentProcessId());
        folder_ = fs::temp_directory_path() / (L"qv proc " + id);
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        probeName_ = "QvProbe" + std::to_string(GetCurrentProcessId()) + ".exe";
    }
    void TearDown() override {
        for (const UniqueHandle& child : children_) {
            TerminateProcess(child.Get(), 1);
            WaitForSingleObject(child.Get(), kChildLimitMs);
        }
        children_.clear();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        if (comReady_) {
            CoUninitialize();
        }
    }

    fs::path Program(const std::string& name) const {
        const fs::path program = folder_ / qv::win::Widen(name);
        fs::copy_file(SleeperProgram(), program, fs::copy_options::overwrite_existing);
        return program;
    }

    // Started directly, with a handle to wait on; returns once it runs.
    HANDLE StartChild(const fs::path& program) {
        std::wstring commandLine = L"\"" + program.wstring() + L"\" 30";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "cannot start " << Narrow(program.wstring());
            return nullptr;
        }
        CloseHandle(process.hThread);
        children_.emplace_back(process.hProcess);
        StartReport ignored;
        EXPECT_TRUE(WaitForReport(program, ignored));
        return process.hProcess;
    }

    // Adopts a child that someone else started, so that it ends with the test.
    void Adopt(DWORD processId) {
        if (HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId)) {
            children_.emplace_back(child);
        }
    }

    static bool WaitForReport(const fs::path& program, StartReport& report) {
        const fs::path file = program.wstring() + L".started";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kChildLimitMs);
        while (!fs::exists(file)) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::ifstream in(file, std::ios::binary);
        unsigned long processId = 0;
        unsigned long flags = 0;
        in >> processId >> flags >> report.showWindow;
        in.get();
        report.processId = processId;
        report.startupFlags = flags;
        report.commandLine.assign(std::istreambuf_iterator<char>(in), {});
        return true;
    }

    std::string Path(const std::string& name) const { return Narrow((folder_ / qv::win::Widen(name)).wstring()); }

    WinProcesses processes_;
    fs::path folder_;
    std::string probeName_;
    std::vector<UniqueHandle> children_;
    bool comReady_ = false;
};

TEST_F(WinProcessesTest, ARunningImageNameCountsWhereverItOccursInTheGivenName) {
    HANDLE child = StartChild(Program(probeName_));
    ASSERT_NE(child, nullptr);
    const std::string stem = probeName_.substr(0, probeName_.size() - 4);
    struct Case {
        std::string name;
        bool running;
    };
    const Case cases[] = {
        {probeName_, true},
        {qv::AsciiLower(probeName_), true},
        {qv::AsciiUpper(probeName_), true},
        {"xx" + probeName_, true},
        {"C:\\Program Files\\" + qv::AsciiLower(probeName_), true},
        {probeName_.substr(1), false},  // a piece of the image name is not the image name
        {stem + ".dll", false},
        {"qvnotrunning.exe", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(processes_.IsProcessRunning(c.name), c.running) << c.name;
    }

    TerminateProcess(child, 1);
    ASSERT_EQ(WaitForSingleObject(child, kChildLimitMs), WAIT_OBJECT_0);
    children_.clear();
    EXPECT_FALSE(processes_.IsProcessRunning(probeName_));
}

TEST_F(WinProcessesTest, WithoutComOnTheThreadNothingIsRunning) {
    ASSERT_NE(StartChild(Program(probeName_)), nullptr);
    ASSERT_TRUE(processes_.IsProcessRunning(probeName_));
    bool running = true;
    std::thread([&] { running = processes_.IsProcessRunning(probeName_); }).join();
    EXPECT_FALSE(running);
}

TEST_F(WinProcessesTest, KillEndsEveryProcessOfThatImageName) {
    const fs::path program = Program(probeName_);
    const HANDLE children[] = {StartChild(program), StartChild(program)};
    ASSERT_NE(children[0], nullptr);
    ASSERT_NE(children[1], nullptr);

    processes_.KillProcessByName("qvnotrunning.exe");
    processes_.KillProcessByName(probeName_);
    // The sleepers would run for 30 s; ending within the limit means they were stopped.
    EXPECT_EQ(WaitForMultipleObjects(2, children, TRUE, kChildLimitMs), WAIT_OBJECT_0);
}

TEST_F(WinProcessesTest, StartRunsAnUnquotedPathWithABlankInANormalWindow) {
    ASSERT_NE(folder_.filename().wstring().find(L' '), std::wstring::npos);
    const std::string name = "QvStarted" + std::to_string(GetCurrentProcessId()) + ".exe";
    const fs::path program = Program(name);
    const std::string commandLine = Path(name) + " 30";

    std::string error;
    ASSERT_TRUE(processes_.StartProcess(commandLine, error)) << error;
    StartReport report;
    ASSERT_TRUE(WaitForReport(program, report));
    Adopt(report.processId);

    if (RunsUnderWine()) {
        // Wine puts quotes around a program path it found by trying the blanks; Windows passes the text on.
        EXPECT_EQ(report.commandLine, "\"" + Path(name) + "\" 30");
    } else {
        EXPECT_EQ(report.commandLine, commandLine);
    }
    EXPECT_NE(report.startupFlags & STARTF_USESHOWWINDOW, 0u);
    EXPECT_EQ(report.showWindow, static_cast<unsigned>(SW_SHOWNORMAL));
    EXPECT_EQ(error, "");
}

TEST_F(WinProcessesTest, StartOfAMissingProgramFailsWithTheSystemsReason) {
    std::string error;
    EXPECT_FALSE(processes_.StartProcess(Path("absent.exe") + " debug", error));
    EXPECT_EQ(error, qv::win::LastErrorText(ERROR_FILE_NOT_FOUND));
}

}  // namespace

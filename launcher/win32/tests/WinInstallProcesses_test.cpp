#include "launcher/win32/WinInstallProcesses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "launcher/tests/support/FakeRunLog.h"
#include "launcher/win32/ShellSizeFormatter.h"
#include "common/win32/TextConvert.h"
#include "launcher/win32/Win32OutputFiles.h"
#include "common/win32/WindowsApi.h"

namespace {

namespace fs = std::filesystem;

// A copy of the sleeper in a folder with a blank in its name.
class WinInstallProcessesTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / (L"qv install " + std::to_wstring(GetCurrentProcessId()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        std::wstring self(32768, L'\0');
        self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
        program_ = folder_ / L"Arj32.exe";
        fs::copy_file(fs::path(self).parent_path() / QV_TEST_SLEEPER, program_);
    }
    void TearDown() override {
        std::error_code ignored;
        for (int i = 0; i < 50 && fs::exists(folder_, ignored); ++i) {
            fs::remove_all(folder_, ignored);
            if (ignored) Sleep(100);
        }
    }
    // "<pid>\n<flags> <show>\n<command line>" once the child has written it.
    std::string Report(DWORD waitMs) const {
        const fs::path report = program_.wstring() + L".started";
        for (const ULONGLONG end = GetTickCount64() + waitMs; GetTickCount64() < end; Sleep(50)) {
            if (fs::exists(report)) break;
        }
        std::ifstream in(report, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string Quoted() const { return "\"" + qv::win::Narrow(program_.wstring()) + "\""; }

    fs::path folder_;
    fs::path program_;
};

TEST_F(WinInstallProcessesTest, TheArchiverRunsMinimisedWithoutFocusAndIsWaitedFor) {
    launcher::win::WinInstallProcesses processes;
    std::string error;

    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(processes.RunMinimisedAndWait(Quoted() + " e \"x.comps\" -y \"C:\\ \" 1", error)) << error;

    // It had ended: its report is there without waiting for it.
    const std::string report = Report(0);
    ASSERT_FALSE(report.empty());
    EXPECT_NE(report.find(std::to_string(STARTF_USESHOWWINDOW) + " " + std::to_string(SW_SHOWMINNOACTIVE) + "\n"),
              std::string::npos)
        << report;
    EXPECT_GE(GetTickCount64() - start, 900u) << "returned before the archiver ended";
}

TEST_F(WinInstallProcessesTest, TheArchiversExitCodeIsReadAndRegistrationsAreReportedWithoutWaiting) {
    launcher::win::WinInstallProcesses processes;
    std::string error;
    std::optional<std::uint32_t> exitCode;
    ASSERT_TRUE(processes.RunMinimisedAndWaitForExit(Quoted() + " 0", error, exitCode)) << error;
    EXPECT_EQ(exitCode, 0u);

    launcher::FakeRunLog log;
    processes.StartMinimised(Quoted() + " 0");
    ASSERT_FALSE(Report(20000).empty());
    processes.StartMinimised(Quoted() + " 5");
    Sleep(1500);
    const ULONGLONG start = GetTickCount64();
    processes.LogStartedProcesses(&log);
    EXPECT_LT(GetTickCount64() - start, 1000u) << "it waited";
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_NE(log.lines[0].find(Quoted() + " 0 ended, exit code 0"), std::string::npos) << log.lines[0];
    EXPECT_NE(log.lines[1].find(Quoted() + " 5 still running (not waited for)"), std::string::npos) << log.lines[1];
}

TEST_F(WinInstallProcessesTest, RegistrationStartsMinimisedAndAMissingProgramIsReported) {
    launcher::win::WinInstallProcesses processes;
    processes.StartMinimised(Quoted() + " 1");
    const std::string report = Report(20000);
    EXPECT_NE(report.find(" " + std::to_string(SW_SHOWMINIMIZED) + "\n"), std::string::npos) << report;

    std::string error;
    EXPECT_FALSE(processes.RunMinimisedAndWait("\"" + qv::win::Narrow(folder_.wstring()) + "\\none.exe\"", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(WinInstallProcessesTest, OutputFilesTakeRawBytesAndFailInAMissingFolder) {
    launcher::win::Win32OutputFiles files;
    std::string error;
    const std::string path = qv::win::Narrow((folder_ / L"升级.comps").wstring());
    auto file = files.Create(path, error);
    ASSERT_TRUE(file) << error;
    const std::string bytes("a\0b\r\n\xff", 6);
    ASSERT_TRUE(file->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), error)) << error;
    ASSERT_TRUE(file->Close(error)) << error;
    std::ifstream in(folder_ / L"升级.comps", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), bytes);

    EXPECT_FALSE(files.Create(qv::win::Narrow((folder_ / L"missing" / L"x.comps").wstring()), error));
    EXPECT_FALSE(error.empty());
}

TEST(ShellSizeFormatter, GivesTheShellsShortSizeText) {
    launcher::win::ShellSizeFormatter sizes;
    EXPECT_EQ(sizes.FormatByteSize(0).substr(0, 1), "0");
    // The leading number is what the speed line keeps.
    EXPECT_EQ(sizes.FormatByteSize(12595).substr(0, 4), "12.2");
    EXPECT_NE(sizes.FormatByteSize(5LL * 1024 * 1024 * 1024).find("5"), std::string::npos);
}

}  // namespace

#include "launcher/win32/WinWindowFactory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LoopbackHttpServer.h"
#include "WindowTestSupport.h"
#include "common/win32/WindowsApi.h"
#include "launcher/win32/frmDownloadFile.h"

namespace {

using launcher::win::WinWindowFactory;
using namespace launcher::win::testing_support;

class RecordingWaitWindow final : public launcher::IWaitWindow {
public:
    void ShowForm(const std::string& strPrompt) override { calls.push_back("ShowForm " + strPrompt); }
    void HideForm() override { calls.push_back("HideForm"); }
    void SetPromptMsg(const std::string& strMsg) override { calls.push_back("SetPromptMsg " + strMsg); }
    std::vector<std::string> calls;
};

struct NoBoxes final : launcher::IMessageBox {
    int Show(const std::string& text, const std::string&, unsigned) override {
        shown.push_back(text);
        return launcher::mb::IdOk;
    }
    std::vector<std::string> shown;
};

struct Unused final : launcher::IProcesses, launcher::IFileSystem, launcher::ISystemInfo, launcher::IClock {
    bool IsProcessRunning(const std::string&) override { return false; }
    void KillProcessByName(const std::string&) override {}
    bool StartProcess(const std::string&, std::string&) override { return false; }
    bool FileExists(const std::string&) override { return false; }
    bool DeleteFile(const std::string&, std::string&) override { return false; }
    bool ReadTextFile(const std::string&, std::string&, std::string&) override { return false; }
    bool WriteTextFile(const std::string&, const std::string&, std::string&) override { return false; }
    bool ReplaceFile(const std::string&, const std::string&, std::string&) override { return false; }
    bool FolderExists(const std::string&) override { return false; }
    bool CreateFolder(const std::string&, std::string&) override { return true; }
    bool RemoveFolderTree(const std::string&, std::string&) override { return true; }
    std::vector<std::string> ListFolder(const std::string&) override { return {}; }
    std::int64_t FileSize(const std::string&) override { return -1; }
    bool MoveFile(const std::string&, const std::string&, std::string&) override { return false; }
    bool CopyFile(const std::string&, const std::string&, std::string&) override { return false; }
    bool CanWriteFolder(const std::string&) override { return true; }
    bool ReadFileBytes(const std::string&, const std::function<void(const char*, std::size_t)>&,
                       std::string&) override {
        return false;
    }
    std::string SystemDirectory() override { return "C:\\windows\\system32"; }
    std::uint32_t TickCount() override { return 0; }
    void Sleep(std::uint32_t) override {}
};

TEST(WinWindowFactory, AnEmptyListClosesTheDownloadWindowAtOnceWithFalse) {
    NoBoxes boxes;
    Unused platform;
    WinWindowFactory factory(
        GetModuleHandleW(nullptr),
        launcher::win::DownloadWindowServices{boxes, platform, platform, platform, platform, ProgramFolder()});
    const auto wait = factory.CreateWaitWindow();
    RecordingWaitWindow recording;
    const auto download = factory.CreateDownloadWindow(recording);

    EXPECT_FALSE(download->ShowForm({}));
    EXPECT_FALSE(FindWindowW(launcher::win::frmDownloadFile::kClassName, nullptr));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(FindWindowW(L"QuorvelWaitWindow", nullptr)) << "the wait window still comes from the factory";
}

TEST(WinWindowFactory, AnUnreachableDownloadServerEndsTheUpdateWithItsBox) {
    NoBoxes boxes;
    Unused platform;
    WinWindowFactory factory(
        GetModuleHandleW(nullptr),
        launcher::win::DownloadWindowServices{boxes, platform, platform, platform, platform, ProgramFolder()});
    RecordingWaitWindow wait;
    auto entry = std::make_shared<launcher::clsProgramFile>();
    entry->cFileName = "Lumen_Control.ocx";
    entry->cFilePath = "[CUR_PATH]";
    entry->cDownLoadPath =
        "http://127.0.0.1:" + std::to_string(launcher::win::test::LoopbackHttpServer::ClosedPort()) + "/download";

    EXPECT_FALSE(factory.CreateDownloadWindow(wait)->ShowForm({entry}));

    EXPECT_EQ(boxes.shown, std::vector<std::string>{"可能网络不稳定，目前无法下载文件。"});
    EXPECT_EQ(wait.calls, std::vector<std::string>{"HideForm"});
    EXPECT_FALSE(FindWindowW(launcher::win::frmDownloadFile::kClassName, nullptr)) << "unloaded at the end";
}

}  // namespace

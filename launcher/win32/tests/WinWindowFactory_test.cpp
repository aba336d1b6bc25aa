#include "WinWindowFactory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "WindowTestSupport.h"
#include "WindowsApi.h"

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

// What a message box of the given thread showed, read and then answered with
// its OK button; gives up after ten seconds.
struct SeenBox {
    std::string title, text;
    bool topmost = false;
    bool found = false;
};

HWND FindThreadDialog(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND hWnd, LPARAM result) {
            wchar_t className[16] = {};
            GetClassNameW(hWnd, className, 16);
            if (std::wstring(className) == L"#32770" && IsWindowVisible(hWnd)) {
                *reinterpret_cast<HWND*>(result) = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::thread AnswerBoxOf(DWORD threadId, SeenBox& seen) {
    return std::thread([threadId, &seen] {
        for (const ULONGLONG end = GetTickCount64() + 10000; GetTickCount64() < end; Sleep(20)) {
            if (const HWND box = FindThreadDialog(threadId)) {
                seen.found = true;
                seen.title = WindowText(box);
                seen.text = WindowText(GetDlgItem(box, 0xFFFF));
                seen.topmost = IsTopMost(box);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
        }
    });
}

TEST(WinWindowFactory, DownloadWindowForNowOnlyTellsHowManyFilesWaitAndFails) {
    WinWindowFactory factory(ProgramFolder(), GetModuleHandleW(nullptr));
    RecordingWaitWindow wait;
    const auto download = factory.CreateDownloadWindow(wait);
    launcher::UpdateFileList files(3, std::make_shared<launcher::clsProgramFile>());

    SeenBox seen;
    std::thread answer = AnswerBoxOf(GetCurrentThreadId(), seen);
    const bool done = download->ShowForm(files);
    answer.join();

    EXPECT_FALSE(done);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, "提示");
    EXPECT_EQ(seen.text, "有 3 个程序文件需要升级，下载窗口尚未提供。");
    EXPECT_TRUE(seen.topmost) << "system-modal";
    EXPECT_EQ(wait.calls, std::vector<std::string>{"HideForm"}) << "the wait window goes before the box";
}

}  // namespace

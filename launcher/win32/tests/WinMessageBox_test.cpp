#include "launcher/win32/WinMessageBox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"

namespace {

using launcher::win::WinMessageBox;
namespace mb = launcher::mb;

struct SeenBox {
    std::string title;
    std::string text;
    bool topmost = false;
};

// A named CALLBACK, not a lambda: at i686 a lambda converts only to a cdecl pointer.
BOOL CALLBACK NoteOwnBox(HWND window, LPARAM found) {
    wchar_t className[16];
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && GetClassNameW(window, className, 16) &&
        std::wstring_view(className) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindOwnBox() {
    HWND found = nullptr;
    EnumWindows(&NoteOwnBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string TextOf(HWND window) {
    wchar_t buffer[512];
    const int length = GetWindowTextW(window, buffer, 512);
    return qv::win::Narrow(std::wstring_view(buffer, length > 0 ? length : 0));
}

// Waits (bounded) for the box, notes what it shows and presses `button`.
void AnswerBox(int button, SeenBox& seen) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (const HWND box = FindOwnBox()) {
            seen.title = TextOf(box);
            seen.text = TextOf(GetDlgItem(box, 0xFFFF));
            seen.topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            SendMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TEST(WinMessageBox, ShowsTextAndTitleAndReturnsThePressedButton) {
    struct Case {
        const char* text;
        const char* title;
        unsigned flags;
        int press;
        const char* shownTitle;
    };
    const Case cases[] = {
        {"系统已经运行。", "提示", mb::SystemModal | mb::IconExclamation, IDOK, "提示"},
        {"启动程序版本：3.24", "", mb::SystemModal, IDOK, "Quorvel 启动程序"},
        {"要替换正在使用的文件吗？", "请确认", mb::SystemModal | mb::YesNo | mb::IconQuestion, IDNO, "请确认"},
        {"是否继续？", "请确认", mb::SystemModal | mb::YesNo | mb::DefaultButton2, IDYES, "请确认"},
    };
    for (const Case& c : cases) {
        SeenBox seen;
        std::thread driver(AnswerBox, c.press, std::ref(seen));
        const int answer = WinMessageBox().Show(c.text, c.title, c.flags);
        driver.join();
        EXPECT_EQ(answer, c.press) << c.text;
        EXPECT_EQ(seen.title, c.shownTitle) << c.text;
        EXPECT_EQ(seen.text, c.text);
        EXPECT_TRUE(seen.topmost) << c.text;  // system-modal
    }
}

}  // namespace

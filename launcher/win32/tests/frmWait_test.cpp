#include "launcher/win32/frmWait.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "common/win32/ScreenUnits.h"
#include "common/win32/TextConvert.h"
#include "WindowTestSupport.h"
#include "common/win32/WindowsApi.h"
#include "launcher/win32/modPublicFunction.h"

namespace {

namespace fs = std::filesystem;
using launcher::win::frmWait;
using qv::win::TwipsToPixels;
using namespace launcher::win::testing_support;

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class frmWaitTest : public testing::Test {
protected:
    static std::unique_ptr<frmWait> Make(const std::string& folder = ProgramFolder()) {
        return std::make_unique<frmWait>(folder, GetModuleHandleW(nullptr));
    }
    static HWND Prompt(const frmWait& wait) { return FindWindowExW(wait.Handle(), nullptr, L"Static", nullptr); }
    static HWND AntWait(const frmWait& wait) { return FindWindowExW(wait.Handle(), nullptr, L"SysAnimate32", nullptr); }
    static HCURSOR ClassCursor(const frmWait& wait) {
        return reinterpret_cast<HCURSOR>(GetClassLongPtrW(wait.Handle(), GCLP_HCURSOR));
    }
    static void SetClassCursor(const frmWait& wait, const wchar_t* id) {
        SetClassLongPtrW(wait.Handle(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursorW(nullptr, id)));
    }
    static void MoveTo(HWND hWnd, int left, int top) {
        SetWindowPos(hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    static POINT Centred(HWND hWnd) {
        const RECT r = WindowRect(hWnd);
        return {(GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2};
    }
    static void ExpectAt(HWND hWnd, POINT place) {
        const RECT r = WindowRect(hWnd);
        EXPECT_EQ(r.left, place.x);
        EXPECT_EQ(r.top, place.y);
    }

    const SIZE ppi_ = qv::win::ScreenPixelsPerInch();
    const HCURSOR busy_ = LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR arrow_ = LoadCursorW(nullptr, IDC_ARROW);
};

TEST_F(frmWaitTest, IsCreatedVisibleAsABorderlessPictureWithItsDesignPrompt) {
    const auto wait = Make();
    const HWND hWnd = wait->Handle();
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(FindWindowW(L"QuorvelWaitWindow", nullptr), hWnd);
    EXPECT_TRUE(IsWindowVisible(hWnd));

    RECT client{};
    GetClientRect(hWnd, &client);
    EXPECT_EQ(client.right, TwipsToPixels(5250, ppi_.cx));
    EXPECT_EQ(client.bottom, TwipsToPixels(1455, ppi_.cy));
    if (ppi_.cx == 96 && ppi_.cy == 96) {
        EXPECT_EQ(client.right, 350);
        EXPECT_EQ(client.bottom, 97);
    }
    const RECT outer = WindowRect(hWnd);
    EXPECT_EQ(outer.right - outer.left, client.right) << "no frame";
    ExpectAt(hWnd, Centred(hWnd));

    const LONG_PTR style = GetWindowLongPtrW(hWnd, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(hWnd, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_NE(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_FALSE(exStyle & WS_EX_TOPMOST) << "topmost only once shown";

    EXPECT_EQ(WindowText(Prompt(*wait)), "正在登录......");
    const HWND clip = AntWait(*wait);
    ASSERT_NE(clip, nullptr);
    RECT clipRect = WindowRect(clip);
    MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&clipRect), 2);
    EXPECT_EQ(clipRect.left, TwipsToPixels(360, ppi_.cx));
    EXPECT_EQ(clipRect.top, TwipsToPixels(315, ppi_.cy));
}

TEST_F(frmWaitTest, ASecondShowFormLeavesTheFirstPromptAndPlace) {
    const auto wait = Make();
    wait->ShowForm("正在启动升级程序...");
    MoveTo(wait->Handle(), 10, 20);
    wait->ShowForm("正在连接远程服务...");
    EXPECT_EQ(WindowText(Prompt(*wait)), "正在启动升级程序...");
    ExpectAt(wait->Handle(), {10, 20});
}

TEST_F(frmWaitTest, ShowFormCentresItTopmostBusyAndHideFormMovesItOutOfSight) {
    const auto wait = Make();
    const HWND hWnd = wait->Handle();
    MoveTo(hWnd, 3, 4);
    wait->ShowForm("正在连接远程服务...");
    ExpectAt(hWnd, Centred(hWnd));
    EXPECT_TRUE(IsTopMost(hWnd));
    EXPECT_EQ(ClassCursor(*wait), busy_);
    EXPECT_EQ(WindowText(Prompt(*wait)), "正在连接远程服务...");
    const RECT shown = WindowRect(hWnd);

    wait->HideForm();
    const RECT hidden = WindowRect(hWnd);
    EXPECT_EQ(hidden.left, TwipsToPixels(-30000, ppi_.cx));
    if (ppi_.cx == 96) {
        EXPECT_EQ(hidden.left, -2000);
    }
    EXPECT_EQ(hidden.top, shown.top);
    EXPECT_EQ(hidden.right - hidden.left, shown.right - shown.left);
    EXPECT_TRUE(IsWindow(hWnd));
    EXPECT_TRUE(IsWindowVisible(hWnd)) << "moved away, not hidden";
    EXPECT_TRUE(IsTopMost(hWnd));
    EXPECT_EQ(ClassCursor(*wait), arrow_);

    wait->ShowForm("正在启动系统...");
    EXPECT_TRUE(WindowRect(hWnd) == shown);
    EXPECT_EQ(WindowText(Prompt(*wait)), "正在启动系统...");
    EXPECT_EQ(ClassCursor(*wait), busy_);
}

TEST_F(frmWaitTest, HideFormOnAWindowThatIsNotShownChangesNothing) {
    const auto wait = Make();
    const HWND hWnd = wait->Handle();
    // A pointer that HideForm would never choose shows whether it was touched.
    SetClassCursor(*wait, IDC_CROSS);
    const RECT before = WindowRect(hWnd);
    wait->HideForm();
    EXPECT_TRUE(WindowRect(hWnd) == before);
    EXPECT_EQ(ClassCursor(*wait), LoadCursorW(nullptr, IDC_CROSS));
    EXPECT_EQ(WindowText(Prompt(*wait)), "正在登录......");

    wait->ShowForm("正在连接远程服务...");
    wait->HideForm();
    MoveTo(hWnd, 30, 40);
    SetClassCursor(*wait, IDC_CROSS);
    wait->HideForm();
    ExpectAt(hWnd, {30, 40});
    EXPECT_EQ(ClassCursor(*wait), LoadCursorW(nullptr, IDC_CROSS));
}

TEST_F(frmWaitTest, SetPromptMsgReplacesTheTextShownOrNotWithoutShowingTheWindow) {
    const auto wait = Make();
    const HWND hWnd = wait->Handle();
    wait->ShowForm("正在连接远程服务...");
    wait->SetPromptMsg("第一步");
    EXPECT_EQ(WindowText(Prompt(*wait)), "第一步");
    wait->ShowForm("正在启动系统...");
    EXPECT_EQ(WindowText(Prompt(*wait)), "第一步") << "still shown: ShowForm does nothing";

    wait->HideForm();
    const RECT hidden = WindowRect(hWnd);
    wait->SetPromptMsg("第二步");
    EXPECT_EQ(WindowText(Prompt(*wait)), "第二步");
    EXPECT_TRUE(WindowRect(hWnd) == hidden);
    EXPECT_EQ(ClassCursor(*wait), arrow_);

    wait->ShowForm("正在启动系统...");
    EXPECT_EQ(WindowText(Prompt(*wait)), "正在启动系统...");
}

TEST_F(frmWaitTest, DestructionDestroysTheWindow) {
    HWND hWnd = nullptr;
    {
        const auto wait = Make();
        hWnd = wait->Handle();
        ASSERT_TRUE(IsWindow(hWnd));
    }
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(FindWindowW(L"QuorvelWaitWindow", nullptr), nullptr);
}

// Pixels of the clip's area that differ from its backdrop (the colour in its
// top-left corner): the dots of the clip, once a frame has been drawn.
int ClipPixels(HWND clip) {
    RECT area{};
    GetClientRect(clip, &area);
    const HDC hdc = GetDC(clip);
    const COLORREF backdrop = GetPixel(hdc, 0, 0);
    int count = 0;
    for (int y = 0; y < area.bottom; ++y) {
        for (int x = 0; x < area.right; ++x) {
            count += GetPixel(hdc, x, y) != backdrop ? 1 : 0;
        }
    }
    ReleaseDC(clip, hdc);
    return count;
}

TEST_F(frmWaitTest, PlaysTheClipWhenThereIsOneAndWorksWithoutIt) {
    const fs::path scratch = fs::temp_directory_path() / ("qv-wait-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / L"empty");
    fs::create_directories(scratch / L"junk");
    std::ofstream(scratch / L"junk" / L"wait.avi", std::ios::binary) << "RIFF junk, not a clip";

    struct Case {
        const char* name;
        std::string folder;
        bool animated;
    };
    const Case cases[] = {
        {"clip beside the program", ProgramFolder(), true},
        {"no clip", qv::win::Narrow((scratch / L"empty").wstring()), false},
        {"unplayable clip", qv::win::Narrow((scratch / L"junk").wstring()), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto wait = Make(c.folder);
        ASSERT_TRUE(IsWindow(wait->Handle()));
        const HWND clip = AntWait(*wait);
        ASSERT_NE(clip, nullptr);
        int drawn = 0;
        // Up to two seconds for the clip's thread to draw; a window without a
        // clip is given half a second to show that nothing comes.
        for (ULONGLONG end = GetTickCount64() + (c.animated ? 2000 : 500); GetTickCount64() < end && drawn == 0;) {
            PumpFor(50);
            drawn = ClipPixels(clip);
        }
        EXPECT_EQ(drawn > 0, c.animated) << drawn << " pixels of the clip";

        wait->ShowForm("正在连接远程服务...");
        ExpectAt(wait->Handle(), Centred(wait->Handle()));
        EXPECT_EQ(WindowText(Prompt(*wait)), "正在连接远程服务...");
        wait->HideForm();
        EXPECT_EQ(WindowRect(wait->Handle()).left, TwipsToPixels(-30000, ppi_.cx));
    }
    fs::remove_all(scratch);
}

TEST_F(frmWaitTest, SetTopMostChangesTheBandButNotThePlace) {
    const auto wait = Make();
    const HWND hWnd = wait->Handle();
    MoveTo(hWnd, 50, 60);
    const RECT before = WindowRect(hWnd);

    EXPECT_NE(launcher::win::SetTopMost(hWnd, true), FALSE);
    EXPECT_TRUE(IsTopMost(hWnd));
    EXPECT_TRUE(WindowRect(hWnd) == before);

    EXPECT_EQ(launcher::win::SetTopMost(hWnd, false), FALSE) << "clearing always answers 0";
    EXPECT_FALSE(IsTopMost(hWnd));
    EXPECT_TRUE(WindowRect(hWnd) == before);
}

}  // namespace

#include "frmWait.h"

#include <stdexcept>

#include <commctrl.h>

#include "common/win32/DesignFont.h"
#include "common/win32/ScreenUnits.h"
#include "common/win32/TextConvert.h"
#include "common/win32/WindowClass.h"
#include "common/win32/WindowObject.h"
#include "modPublicFunction.h"
#include "art/resource_ids.h"

namespace launcher::win {
namespace {

using qv::win::TwipsToPixels;

// The design, in twips.
constexpr int kClientWidth = 5250;
constexpr int kClientHeight = 1455;
constexpr RECT kAntWait{360, 315, 360 + 705, 315 + 690};
constexpr RECT kPrompt{2460, 585, 5130, 885};
constexpr int kHiddenLeft = -30000;
constexpr int kPictureDpi = 96;  // the background picture is drawn for this
constexpr const char* kDesignPrompt = "正在登录......";
constexpr const wchar_t* kClipName = L"\\wait.avi";
constexpr COLORREF kPromptColour = RGB(24, 32, 48);
constexpr int kAntWaitId = 1;
constexpr int kPromptId = 2;

RECT ToPixels(const RECT& twips, SIZE ppi) {
    return {TwipsToPixels(twips.left, ppi.cx), TwipsToPixels(twips.top, ppi.cy), TwipsToPixels(twips.right, ppi.cx),
            TwipsToPixels(twips.bottom, ppi.cy)};
}

// The picture's colour under the clip's top-left corner: the clip's own
// background, which the animation control replaces by what the window gives it.
COLORREF ClipBackdropColour(HBITMAP background) {
    if (!background) {
        return GetSysColor(COLOR_BTNFACE);
    }
    const qv::win::MemoryDc memory(CreateCompatibleDC(nullptr));
    const qv::win::SelectedObject selected(memory.get(), background);
    const COLORREF colour =
        GetPixel(memory.get(), TwipsToPixels(kAntWait.left, kPictureDpi), TwipsToPixels(kAntWait.top, kPictureDpi));
    return colour == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : colour;
}

}  // namespace

frmWait::frmWait(const std::string& strLauncherFolder, HINSTANCE hResources) : m_ppi(qv::win::ScreenPixelsPerInch()) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_ANIMATE_CLASS};
    InitCommonControlsEx(&controls);
    if (!qv::win::RegisterWindowClass(qv::win::WindowClass(kClassName, &frmWait::WindowProc, hResources))) {
        throw std::runtime_error("wait window class: " + qv::win::LastErrorText(GetLastError()));
    }

    m_background.reset(static_cast<HBITMAP>(
        LoadImageW(hResources, MAKEINTRESOURCEW(IDB_WAIT_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    m_clipBackdrop.reset(CreateSolidBrush(ClipBackdropColour(m_background.get())));
    m_promptFont = qv::win::CreateGdiFont(qv::win::FontDesign{}, m_ppi.cy);

    constexpr DWORD kStyle = WS_POPUP | WS_CLIPSIBLINGS;
    constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
    RECT frame{0, 0, TwipsToPixels(kClientWidth, m_ppi.cx), TwipsToPixels(kClientHeight, m_ppi.cy)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Not yet shown by ShowForm, the window stands in the middle of the screen.
    CreateWindowExW(kExStyle, kClassName, L"", kStyle, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                    (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr, hResources, this);
    if (!m_hWnd) {
        throw std::runtime_error("wait window: " + qv::win::LastErrorText(GetLastError()));
    }
    CreateChildren(strLauncherFolder);
    // A notice, not a place to type: it never takes the focus from anything.
    ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    UpdateWindow(m_hWnd);
}

frmWait::~frmWait() {
    if (m_hWnd) {
        DestroyWindow(m_hWnd);
    }
}

void frmWait::CreateChildren(const std::string& strLauncherFolder) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_hWnd, GWLP_HINSTANCE));

    const RECT clip = ToPixels(kAntWait, m_ppi);
    m_hAntWait =
        CreateWindowExW(0, ANIMATE_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY,
                        clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kAntWaitId)), instance, nullptr);
    if (m_hAntWait) {
        // Without the clip the window simply shows no animation.
        const std::wstring path = qv::win::Widen(strLauncherFolder) + kClipName;
        SendMessageW(m_hAntWait, ACM_OPENW, 0, reinterpret_cast<LPARAM>(path.c_str()));
    }

    const RECT prompt = ToPixels(kPrompt, m_ppi);
    m_hPrompt = CreateWindowExW(0, L"STATIC", qv::win::Widen(kDesignPrompt).c_str(),
                                WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, prompt.left, prompt.top,
                                prompt.right - prompt.left, prompt.bottom - prompt.top, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPromptId)), instance, nullptr);
    if (m_hPrompt && m_promptFont) {
        SendMessageW(m_hPrompt, WM_SETFONT, reinterpret_cast<WPARAM>(m_promptFont.get()), FALSE);
    }
}

void frmWait::ShowForm(const std::string& strPrompt) {
    if (m_bShown) {
        return;
    }
    m_bShown = true;
    m_strPrompt = strPrompt;
    SetApplicationPointer(IDC_WAIT);
    PutPrompt(m_strPrompt);
    RECT window;
    GetWindowRect(m_hWnd, &window);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2;
    SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetTopMost(m_hWnd, true);
    DoEvents();
}

void frmWait::HideForm() {
    if (!m_bShown) {
        return;
    }
    m_bShown = false;
    DoEvents();
    RECT window;
    GetWindowRect(m_hWnd, &window);
    SetWindowPos(m_hWnd, nullptr, TwipsToPixels(kHiddenLeft, m_ppi.cx), window.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetApplicationPointer(IDC_ARROW);
}

void frmWait::SetPromptMsg(const std::string& strMsg) {
    PutPrompt(strMsg);
    DoEvents();
}

void frmWait::PutPrompt(const std::string& strText) {
    SetWindowTextW(m_hPrompt, qv::win::Widen(strText).c_str());
    // The label has no background of its own: the picture under it is
    // repainted first, or the old text would show through the new one.
    RECT area;
    GetWindowRect(m_hPrompt, &area);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(m_hWnd, &area, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Set on the window class, the pointer holds over the whole window until it
// is switched back, whatever the window is doing meanwhile.
void frmWait::SetApplicationPointer(const wchar_t* cursorId) const {
    const HCURSOR cursor = LoadCursorW(nullptr, cursorId);
    SetClassLongPtrW(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    SetCursor(cursor);
}

// The picture at the window's size: scaled once (at 96 dots per inch it
// already is); each paint then copies only the part asked for, since every
// change of the prompt repaints the picture under it.
HBITMAP frmWait::PictureAtSize(HDC hdc, const RECT& client) {
    if (m_scaled) return m_scaled.get();
    if (!m_background) return nullptr;
    BITMAP picture{};
    GetObjectW(m_background.get(), sizeof picture, &picture);
    if (picture.bmWidth == client.right && picture.bmHeight == client.bottom) return m_background.get();
    qv::win::GdiObject<HBITMAP> scaled(CreateCompatibleBitmap(hdc, client.right, client.bottom));
    if (!scaled) return nullptr;
    const qv::win::MemoryDc source(CreateCompatibleDC(hdc));
    const qv::win::MemoryDc target(CreateCompatibleDC(hdc));
    {
        const qv::win::SelectedObject from(source.get(), m_background.get());
        const qv::win::SelectedObject to(target.get(), scaled.get());
        SetStretchBltMode(target.get(), HALFTONE);
        SetBrushOrgEx(target.get(), 0, 0, nullptr);
        StretchBlt(target.get(), 0, 0, client.right, client.bottom, source.get(), 0, 0, picture.bmWidth,
                   picture.bmHeight, SRCCOPY);
    }
    m_scaled = std::move(scaled);
    return m_scaled.get();
}

void frmWait::PaintBackground(HDC hdc, const RECT& area) {
    RECT client;
    GetClientRect(m_hWnd, &client);
    const HBITMAP picture = PictureAtSize(hdc, client);
    if (!picture) {
        FillRect(hdc, &area, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    const qv::win::MemoryDc memory(CreateCompatibleDC(hdc));
    const qv::win::SelectedObject selected(memory.get(), picture);
    BitBlt(hdc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory.get(), area.left, area.top,
           SRCCOPY);
}

LRESULT CALLBACK frmWait::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return qv::win::RouteToWindowObject(hWnd, uMsg, wParam, lParam, &frmWait::m_hWnd, &frmWait::HandleMessage);
}

LRESULT frmWait::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT draws the whole picture
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC hdc = BeginPaint(m_hWnd, &ps);
            PaintBackground(hdc, ps.rcPaint);
            EndPaint(m_hWnd, &ps);
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            const auto hdc = reinterpret_cast<HDC>(wParam);
            if (reinterpret_cast<HWND>(lParam) == m_hAntWait) {
                LOGBRUSH backdrop{};
                GetObjectW(m_clipBackdrop.get(), sizeof backdrop, &backdrop);
                SetBkColor(hdc, backdrop.lbColor);
                return reinterpret_cast<LRESULT>(m_clipBackdrop.get());
            }
            SetBkMode(hdc, TRANSPARENT);
            SetTextColor(hdc, kPromptColour);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        case WM_CLOSE:
            return 0;  // the launcher needs the window until it ends; only its owner destroys it
        default:
            return DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
    }
}

}  // namespace launcher::win

#include "frmDownloadFile.h"

#include "common/win32/WindowsApi.h"

#include <commctrl.h>

#include "common/win32/DesignFont.h"
#include "common/win32/ScreenUnits.h"
#include "common/win32/TextConvert.h"
#include "common/win32/WindowClass.h"
#include "common/win32/WindowObject.h"
#include "launcher/UpdateFiles.h"
#include "modPublicFunction.h"

namespace launcher::win {
namespace {

constexpr UINT_PTR kStartTimer = 1;      // tmStart
constexpr UINT_PTR kShowSpeedTimer = 2;  // tmShowSpeed
constexpr int kCancelId = 100;
constexpr int kImageId = 101;
constexpr int kClientWidth = 440;
constexpr int kClientHeight = 236;

}  // namespace

frmDownloadFile::frmDownloadFile(IWaitWindow& waitWindow, DownloadWindowServices services)
    : m_waitWindow(waitWindow), m_services(std::move(services)) {}

frmDownloadFile::~frmDownloadFile() {
    if (m_hWnd) DestroyWindow(m_hWnd);
}

bool frmDownloadFile::ShowForm(const UpdateFileList& cltUpdateFiles) {
    m_cltUpdateFiles = cltUpdateFiles;
    m_work = nullptr;
    if (m_cltUpdateFiles.empty()) return false;
    return RunModal();
}

bool frmDownloadFile::ShowWork(IDownloadWork& work) {
    m_cltUpdateFiles.clear();
    m_work = &work;
    return RunModal();
}

bool frmDownloadFile::RunModal() {
    m_bResult = false;
    if (!Form_Load()) return m_bResult;
    // Modal: this loop owns the thread until the window has been unloaded.
    MSG msg;
    while (m_hWnd) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return m_bResult;
}

bool frmDownloadFile::Form_Load() {
    m_bCancel = false;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const HINSTANCE hInstance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = qv::win::WindowClass(kClassName, &frmDownloadFile::WindowProc, hInstance);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!qv::win::RegisterWindowClass(windowClass)) return false;
    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    const int cx = frame.right - frame.left;
    const int cy = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - cx) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - cy) / 2;
    m_hWnd = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, L"系统升级", style, x, y, cx, cy, nullptr, nullptr,
                             hInstance, this);
    if (!m_hWnd) return false;
    CreateControls();
    SetTopMost(m_hWnd, true);
    if (!m_work) PrepareDownloadView(*this, static_cast<int>(m_cltUpdateFiles.size()));
    SetWindowTextW(m_lblSpeed, L"");
    ShowWindow(m_hWnd, SW_SHOW);
    UpdateWindow(m_hWnd);
    SetTimer(m_hWnd, kStartTimer, 50, nullptr);
    SetTimer(m_hWnd, kShowSpeedTimer, 500, nullptr);
    return true;
}

HWND frmDownloadFile::AddControl(const wchar_t* className, const std::string& text, DWORD style, int x, int y, int cx,
                                 int cy, int id) {
    const HWND control =
        CreateWindowExW(0, className, qv::win::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    return control;
}

void frmDownloadFile::CreateControls() {
    m_font = qv::win::CreateGdiFont(qv::win::FontDesign{}, qv::win::ScreenPixelsPerInch().cy);
    AddControl(L"STATIC", "", SS_OWNERDRAW, 16, 12, 40, 40, kImageId);                // Image1
    AddControl(L"STATIC", "“Quorvel”正在升级，请稍候...", SS_LEFT, 68, 24, 356, 20);  // Label2
    AddControl(L"BUTTON", "", BS_GROUPBOX, 12, 58, 416, 60);                          // Frame1
    m_lblFile = AddControl(L"STATIC", "", SS_LEFT | SS_NOPREFIX, 24, 74, 392, 18);
    m_proFile.hWnd = AddControl(PROGRESS_CLASSW, "", 0, 24, 94, 392, 16);
    AddControl(L"BUTTON", "", BS_GROUPBOX, 12, 122, 416, 60);      // Frame2
    AddControl(L"STATIC", "整体进度", SS_LEFT, 24, 138, 392, 18);  // lblAll
    m_proALL.hWnd = AddControl(PROGRESS_CLASSW, "", 0, 24, 158, 392, 16);
    m_lblSpeed = AddControl(L"STATIC", "", SS_LEFT | SS_NOPREFIX, 12, 200, 316, 20);
    AddControl(L"BUTTON", "取消", BS_PUSHBUTTON, 340, 194, 88, 28, kCancelId);  // cmdCancel
}

void frmDownloadFile::SetBarRange(ProgressBar bar, std::int32_t lMin, std::int32_t lMax) {
    Bar& b = Of(bar);
    b.lMin = lMin;
    b.lMax = lMax;
    b.lValue = lMin;
    b.lShown = lMin;
    ShowWindow(b.hWnd, SW_SHOW);
    SendMessageW(b.hWnd, PBM_SETRANGE32, static_cast<WPARAM>(lMin), static_cast<LPARAM>(lMax));
    SendMessageW(b.hWnd, PBM_SETPOS, static_cast<WPARAM>(lMin), 0);
}

void frmDownloadFile::SetBarValue(ProgressBar bar, std::int32_t lValue) { Of(bar).lValue = lValue; }

void frmDownloadFile::DrawBars() {
    for (Bar* b : {&m_proFile, &m_proALL}) {
        if (b->lShown == b->lValue) continue;
        b->lShown = b->lValue;
        SendMessageW(b->hWnd, PBM_SETPOS, static_cast<WPARAM>(b->lValue), 0);
    }
}

void frmDownloadFile::SetBarIndeterminate(ProgressBar bar, bool bIndeterminate) {
    const HWND hBar = Of(bar).hWnd;
    const LONG_PTR style = GetWindowLongPtrW(hBar, GWL_STYLE);
    const LONG_PTR wanted = bIndeterminate ? (style | PBS_MARQUEE) : (style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
    if (wanted != style) SetWindowLongPtrW(hBar, GWL_STYLE, wanted);
    SendMessageW(hBar, PBM_SETMARQUEE, bIndeterminate ? TRUE : FALSE, 50);
}

void frmDownloadFile::SetFileText(const std::string& strText) {
    SetWindowTextW(m_lblFile, qv::win::Widen(strText).c_str());
}

void frmDownloadFile::DoEvents() {
    const std::uint32_t now = GetTickCount();
    if (m_drawPacer.Due(now)) DrawBars();
    if (m_yieldPacer.Due(now)) win::DoEvents();
}

void frmDownloadFile::ShowNow() {
    DrawBars();
    tmShowSpeed_Timer();
    UpdateWindow(m_hWnd);
}

void frmDownloadFile::tmStart_Timer() {
    KillTimer(m_hWnd, kStartTimer);
    if (m_bRunning) return;
    m_bRunning = true;
    if (m_work) {
        m_bResult = m_work->Run(*this);
        m_bRunning = false;
        DestroyWindow(m_hWnd);
        return;
    }
    UpdateServices services{*this,
                            m_waitWindow,
                            m_services.messageBox,
                            m_services.processes,
                            m_services.fileSystem,
                            m_services.system,
                            m_services.clock,
                            m_urls,
                            m_outputFiles,
                            m_installProcesses,
                            m_sizeFormatter,
                            m_services.launcherFolder,
                            m_services.log};
    m_bResult = UpdateFiles(m_cltUpdateFiles, services);
    m_bRunning = false;
    DestroyWindow(m_hWnd);
}

void frmDownloadFile::tmShowSpeed_Timer() { SetWindowTextW(m_lblSpeed, qv::win::Widen(m_strSpeed).c_str()); }

void frmDownloadFile::cmdCancel_Click() {
    const int answer = m_services.messageBox.Show("取消升级后，系统将退出。\r\n\r\n真的要取消升级吗？", "请确认",
                                                  mb::YesNo | mb::IconQuestion | mb::DefaultButton2 | mb::SystemModal);
    m_bCancel = answer == mb::IdYes;
}

void frmDownloadFile::DrawImage1(const DRAWITEMSTRUCT& item) const {
    // A down arrow into a tray on a blue tile.
    const RECT r = item.rcItem;
    const qv::win::GdiObject<HBRUSH> tile(CreateSolidBrush(RGB(46, 104, 178)));
    FillRect(item.hDC, &r, tile.get());
    const qv::win::GdiObject<HBRUSH> white(CreateSolidBrush(RGB(255, 255, 255)));
    const qv::win::SelectedObject brush(item.hDC, white.get());
    const qv::win::SelectedObject pen(item.hDC, GetStockObject(NULL_PEN));
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    Rectangle(item.hDC, r.left + w * 2 / 5, r.top + h / 8, r.left + w * 3 / 5 + 1, r.top + h / 2);
    const POINT arrow[] = {
        {r.left + w / 5, r.top + h / 2}, {r.left + w * 4 / 5, r.top + h / 2}, {r.left + w / 2, r.top + h * 3 / 4}};
    Polygon(item.hDC, arrow, 3);
    Rectangle(item.hDC, r.left + w / 8, r.top + h * 5 / 6, r.right - w / 8, r.top + h * 5 / 6 + 3);
}

LRESULT CALLBACK frmDownloadFile::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return qv::win::RouteToWindowObject(hWnd, uMsg, wParam, lParam, &frmDownloadFile::m_hWnd,
                                        &frmDownloadFile::HandleMessage);
}

LRESULT frmDownloadFile::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
        case WM_TIMER:
            if (wParam == kStartTimer) tmStart_Timer();
            if (wParam == kShowSpeedTimer) tmShowSpeed_Timer();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kCancelId && HIWORD(wParam) == BN_CLICKED) cmdCancel_Click();
            return 0;
        case WM_CLOSE:
            // Closing the window is a cancel and asks the same question.
            cmdCancel_Click();
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID == kImageId) {
                DrawImage1(*item);
                return TRUE;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        default:
            break;
    }
    return DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
}

}  // namespace launcher::win

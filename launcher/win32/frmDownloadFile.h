#pragma once
// The download window: a modal, topmost progress window in which the update
// loop runs. It starts the loop 50 ms after it is shown, copies the speed line
// to the screen every 500 ms, asks before a cancel, and closes itself when
// the loop ends.
#include <array>
#include <string>

#include "launcher/DownloadPlatform.h"
#include "launcher/LauncherWindows.h"
#include "launcher/Platform.h"
#include "launcher/RunLog.h"
#include "launcher/ScreenPacer.h"
#include "ShellSizeFormatter.h"
#include "Win32OutputFiles.h"
#include "WinInetDownload.h"
#include "WinInstallProcesses.h"
#include "common/win32/Gdi.h"
#include "common/win32/WindowsApi.h"

namespace launcher::win {

struct DownloadWindowServices {
    IMessageBox& messageBox;
    IProcesses& processes;
    IFileSystem& fileSystem;
    ISystemInfo& system;
    IClock& clock;
    std::string launcherFolder;
    IRunLog* log = nullptr;
};

class frmDownloadFile final : public IDownloadWindow, private IDownloadView {
public:
    static constexpr const wchar_t* kClassName = L"QuorvelDownloadWindow";
    // Bars redrawn at most this often; the queue serviced at most this often.
    static constexpr std::uint32_t kDrawIntervalMs = 100;
    static constexpr std::uint32_t kYieldIntervalMs = 50;

    frmDownloadFile(IWaitWindow& waitWindow, DownloadWindowServices services);
    ~frmDownloadFile() override;
    frmDownloadFile(const frmDownloadFile&) = delete;
    frmDownloadFile& operator=(const frmDownloadFile&) = delete;

    // An empty list, or a window that cannot be made, gives false at once.
    bool ShowForm(const UpdateFileList& cltUpdateFiles) override;
    bool ShowWork(IDownloadWork& work) override;
    bool Cancelled() const override { return m_bCancel; }

private:
    struct Bar {
        HWND hWnd = nullptr;
        std::int32_t lMin = 0;
        std::int32_t lMax = 0;
        std::int32_t lValue = 0;  // the latest value handed over
        std::int32_t lShown = 0;  // the value the control shows
    };

    void SetBarRange(ProgressBar bar, std::int32_t lMin, std::int32_t lMax) override;
    std::int32_t BarMin(ProgressBar bar) const override { return Of(bar).lMin; }
    std::int32_t BarMax(ProgressBar bar) const override { return Of(bar).lMax; }
    void SetBarValue(ProgressBar bar, std::int32_t lValue) override;
    void SetBarIndeterminate(ProgressBar bar, bool bIndeterminate) override;
    void SetFileText(const std::string& strText) override;
    void SetSpeedText(const std::string& strText) override { m_strSpeed = strText; }
    void DoEvents() override;
    void ShowNow() override;
    bool CancelRequested() const override { return m_bCancel; }

    Bar& Of(ProgressBar bar) { return bar == ProgressBar::File ? m_proFile : m_proALL; }
    const Bar& Of(ProgressBar bar) const { return bar == ProgressBar::File ? m_proFile : m_proALL; }

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    bool RunModal();
    bool Form_Load();
    void CreateControls();
    HWND AddControl(const wchar_t* className, const std::string& text, DWORD style, int x, int y, int cx, int cy,
                    int id = 0);
    void DrawBars();
    void tmStart_Timer();
    void tmShowSpeed_Timer();
    void cmdCancel_Click();
    void DrawImage1(const DRAWITEMSTRUCT& item) const;

    IWaitWindow& m_waitWindow;
    DownloadWindowServices m_services;
    WinInetUrlOpener m_urls;
    Win32OutputFiles m_outputFiles;
    WinInstallProcesses m_installProcesses;
    ShellSizeFormatter m_sizeFormatter;

    HWND m_hWnd = nullptr;
    HWND m_lblFile = nullptr;
    HWND m_lblSpeed = nullptr;
    Bar m_proFile;
    Bar m_proALL;
    qv::win::GdiObject<HFONT> m_font;

    UpdateFileList m_cltUpdateFiles;
    IDownloadWork* m_work = nullptr;  // runs instead of the update loop
    bool m_bResult = false;
    bool m_bCancel = false;
    bool m_bRunning = false;
    std::string m_strSpeed;
    ScreenPacer m_drawPacer{kDrawIntervalMs};
    ScreenPacer m_yieldPacer{kYieldIntervalMs};
};

}  // namespace launcher::win

#pragma once
// The wait window: a borderless picture with a looping clip and one line of
// prompt text. It is shown centred and topmost with the busy pointer while the
// launcher works, and hidden by moving it out of sight, never by closing it.
#include <string>

#include "launcher/LauncherWindows.h"
#include "common/win32/Gdi.h"
#include "common/win32/WindowsApi.h"

namespace launcher::win {

class frmWait final : public IWaitWindow {
public:
    static constexpr const wchar_t* kClassName = L"QuorvelWaitWindow";

    // Creates the window, visible at its design place with its design prompt,
    // and starts strLauncherFolder + "\wait.avi"; a clip that is missing or
    // cannot be played leaves the window without animation. hResources holds
    // the background picture. Throws std::runtime_error when the window
    // itself cannot be made.
    frmWait(const std::string& strLauncherFolder, HINSTANCE hResources);
    ~frmWait() override;
    frmWait(const frmWait&) = delete;
    frmWait& operator=(const frmWait&) = delete;

    void ShowForm(const std::string& strPrompt) override;
    void HideForm() override;
    void SetPromptMsg(const std::string& strMsg) override;

    HWND Handle() const noexcept { return m_hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    void CreateChildren(const std::string& strLauncherFolder);
    void PaintBackground(HDC hdc, const RECT& area);
    HBITMAP PictureAtSize(HDC hdc, const RECT& client);
    void PutPrompt(const std::string& strText);
    void SetApplicationPointer(const wchar_t* cursorId) const;

    HWND m_hWnd = nullptr;
    HWND m_hAntWait = nullptr;
    HWND m_hPrompt = nullptr;
    qv::win::GdiObject<HBITMAP> m_background;
    qv::win::GdiObject<HBITMAP> m_scaled;  // the picture at the window's size, made at the first paint
    qv::win::GdiObject<HFONT> m_promptFont;
    qv::win::GdiObject<HBRUSH> m_clipBackdrop;
    SIZE m_ppi{96, 96};
    bool m_bShown = false;
    std::string m_strPrompt;
};

}  // namespace launcher::win

#pragma once
// The text box inside the validated text box: a single-line Unicode EDIT
// window plus the properties a plain EDIT lacks (colours, font object, the
// stored DDE and data settings). Setters validate like a standard text box
// and answer CTL_E_INVALIDPROPERTYVALUE for values it would refuse.
#include <string>

#include "BoxColours.h"
#include "common/win32/ComPtr.h"
#include "FontWatcher.h"
#include "common/win32/WindowsApi.h"
#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

namespace controls::win {

class InnerTextBox {
public:
    InnerTextBox() = default;
    ~InnerTextBox();
    InnerTextBox(const InnerTextBox&) = delete;
    InnerTextBox& operator=(const InnerTextBox&) = delete;

    // The EDIT window, subclassed with `subclass` (its reference data: `owner`).
    bool Create(HWND parent, SUBCLASSPROC subclass, DWORD_PTR owner, IFont* initialFont);
    HWND Window() const noexcept { return edit_; }

    std::wstring Text() const;
    void SetText(const std::wstring& text);
    long SelStart() const;
    long SelLength() const;
    // Both in one message: a message to a box holding a long text is not cheap.
    struct Selection {
        long start;
        long length;
    };
    Selection CurrentSelection() const;
    void SetSelStart(long start);
    void SetSelLength(long length);
    std::wstring SelText() const;
    void SetSelText(const std::wstring& text);
    long MaxLength() const noexcept { return maxLength_; }
    HRESULT SetMaxLength(long length);

    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Locked() const noexcept { return locked_; }
    void SetLocked(bool locked);

    OLE_COLOR BackColor() const noexcept { return colours_.Back(); }
    HRESULT SetBackColor(OLE_COLOR colour);
    // Shows any 32-bit value as the background (the focus colours are not checked).
    void ShowBackColor(OLE_COLOR colour);
    OLE_COLOR ForeColor() const noexcept { return colours_.Fore(); }
    HRESULT SetForeColor(OLE_COLOR colour);
    // Answers WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC for the box.
    HBRUSH PaintColours(HDC dc);

    IFont* Font() const noexcept { return font_.Get(); }
    // Takes a copy of the font; the box keeps its own object.
    HRESULT SetFont(IFont* font);
    // Re-reads the font object after one of its properties changed.
    void ApplyFont();

    short BorderStyle() const noexcept { return borderStyle_; }
    HRESULT SetBorderStyle(short style);
    short Appearance() const noexcept { return appearance_; }
    HRESULT SetAppearance(short appearance);
    short Alignment() const noexcept { return alignment_; }
    HRESULT SetAlignment(short alignment);
    bool RightToLeft() const noexcept { return rightToLeft_; }
    void SetRightToLeft(bool rightToLeft);
    std::wstring PasswordChar() const;
    void SetPasswordChar(const std::wstring& character);
    short MousePointer() const noexcept { return mousePointer_; }
    HRESULT SetMousePointer(short pointer);
    IPictureDisp* MouseIcon() const noexcept { return mouseIcon_.Get(); }
    void SetMouseIcon(IPictureDisp* icon) { mouseIcon_ = qv::win::ComPtr<IPictureDisp>(icon); }
    // Answers WM_SETCURSOR over the box; false leaves it to the window.
    bool SetCursorForPointer();
    const std::wstring& ToolTipText() const noexcept { return toolTip_; }
    void SetToolTipText(const std::wstring& text);

    void Refresh();

private:
    void ApplyFrame();
    void ChangeStyle(LONG_PTR add, LONG_PTR remove, int index);

    HWND edit_ = nullptr;
    HWND toolTipWindow_ = nullptr;
    BoxColours colours_;
    qv::win::ComPtr<IFont> font_;
    qv::win::ComPtr<FontWatcher> fontWatcher_;
    qv::win::ComPtr<IPictureDisp> mouseIcon_;
    long maxLength_ = 0;
    bool locked_ = false;
    bool rightToLeft_ = false;
    short borderStyle_ = 1;
    short appearance_ = 1;
    short alignment_ = 0;
    short mousePointer_ = 0;
    std::wstring toolTip_;
};

}  // namespace controls::win

#include "InnerTextBox.h"

#include <algorithm>
#include <vector>

#include "ControlEvents.h"

namespace controls::win {
namespace {

constexpr short kCustomPointer = 99;

const wchar_t* const kPointerCursors[] = {
    nullptr,      IDC_ARROW,  IDC_CROSS,   IDC_IBEAM, IDC_ARROW, IDC_SIZEALL,     IDC_SIZENESW, IDC_SIZENS,
    IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT,  IDC_NO,    IDC_APPSTARTING, IDC_HELP,     IDC_SIZEALL};

}  // namespace

InnerTextBox::~InnerTextBox() {
    if (fontWatcher_) fontWatcher_->Stop();
    if (toolTipWindow_ && IsWindow(toolTipWindow_)) DestroyWindow(toolTipWindow_);
}

bool InnerTextBox::Create(HWND parent, SUBCLASSPROC subclass, DWORD_PTR owner, IFont* initialFont) {
    RECT area{};
    GetClientRect(parent, &area);
    edit_ =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT,
                        0, 0, area.right, area.bottom, parent, nullptr, nullptr, nullptr);
    if (!edit_) return false;
    SetWindowSubclass(edit_, subclass, 1, owner);
    SetMaxLength(0);
    if (initialFont) SetFont(initialFont);
    return true;
}

std::wstring InnerTextBox::Text() const {
    const int length = GetWindowTextLengthW(edit_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(edit_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void InnerTextBox::SetText(const std::wstring& text) { SetWindowTextW(edit_, text.c_str()); }

InnerTextBox::Selection InnerTextBox::CurrentSelection() const {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<long>(start), static_cast<long>(end - start)};
}

long InnerTextBox::SelStart() const { return CurrentSelection().start; }

long InnerTextBox::SelLength() const { return CurrentSelection().length; }

void InnerTextBox::SetSelStart(long start) {
    // As in a standard text box: the selection collapses, the end of the text stops the caret.
    const long length = GetWindowTextLengthW(edit_);
    const long caret = std::clamp(start, 0L, length);
    SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(caret), static_cast<LPARAM>(caret));
}

void InnerTextBox::SetSelLength(long length) {
    const long start = SelStart();
    const long total = GetWindowTextLengthW(edit_);
    const long end = std::clamp(start + std::max(length, 0L), start, total);
    SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

std::wstring InnerTextBox::SelText() const {
    const std::wstring text = Text();
    const auto start = static_cast<std::size_t>(std::min<long>(SelStart(), static_cast<long>(text.size())));
    return text.substr(start, static_cast<std::size_t>(SelLength()));
}

void InnerTextBox::SetSelText(const std::wstring& text) {
    SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

HRESULT InnerTextBox::SetMaxLength(long length) {
    if (length < 0) return InvalidPropertyValue(IID_IDispatch);
    maxLength_ = length;
    // 0 lifts the box's own limit.
    SendMessageW(edit_, EM_SETLIMITTEXT, static_cast<WPARAM>(length == 0 ? 0x7FFFFFFE : length), 0);
    return S_OK;
}

bool InnerTextBox::Enabled() const { return IsWindowEnabled(edit_) != FALSE; }

void InnerTextBox::SetEnabled(bool enabled) { EnableWindow(edit_, enabled ? TRUE : FALSE); }

void InnerTextBox::SetLocked(bool locked) {
    locked_ = locked;
    SendMessageW(edit_, EM_SETREADONLY, locked ? TRUE : FALSE, 0);
}

HRESULT InnerTextBox::SetBackColor(OLE_COLOR colour) {
    if (!BoxColours::IsColour(colour)) return InvalidPropertyValue(IID_IDispatch);
    ShowBackColor(colour);
    return S_OK;
}

void InnerTextBox::ShowBackColor(OLE_COLOR colour) {
    colours_.SetBack(colour);
    InvalidateRect(edit_, nullptr, TRUE);
}

HRESULT InnerTextBox::SetForeColor(OLE_COLOR colour) {
    if (!BoxColours::IsColour(colour)) return InvalidPropertyValue(IID_IDispatch);
    colours_.SetFore(colour);
    InvalidateRect(edit_, nullptr, TRUE);
    return S_OK;
}

// A locked or disabled EDIT asks with WM_CTLCOLORSTATIC; the box keeps its own colours.
HBRUSH InnerTextBox::PaintColours(HDC dc) { return colours_.Paint(dc, true); }

HRESULT InnerTextBox::SetFont(IFont* font) {
    if (!font) return E_POINTER;
    qv::win::ComPtr<IFont> copy;
    const HRESULT result = font->Clone(copy.Address());
    if (FAILED(result)) return result;
    font_ = copy;
    if (!fontWatcher_) fontWatcher_ = qv::win::com::MakeObject<FontWatcher>([this] { ApplyFont(); });
    fontWatcher_->Watch(font_.Get());
    ApplyFont();
    return S_OK;
}

void InnerTextBox::ApplyFont() {
    HFONT handle = nullptr;
    if (font_ && SUCCEEDED(font_->get_hFont(&handle))) {
        SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
    }
}

void InnerTextBox::ChangeStyle(LONG_PTR add, LONG_PTR remove, int index) {
    const LONG_PTR style = GetWindowLongPtrW(edit_, index);
    SetWindowLongPtrW(edit_, index, (style & ~remove) | add);
    SetWindowPos(edit_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(edit_, nullptr, TRUE);
}

void InnerTextBox::ApplyFrame() {
    // No border; a flat single line; or the sunken 3-D edge.
    const LONG_PTR sunken = (borderStyle_ == 1 && appearance_ == 1) ? WS_EX_CLIENTEDGE : 0;
    const LONG_PTR flat = (borderStyle_ == 1 && appearance_ == 0) ? WS_BORDER : 0;
    ChangeStyle(sunken, WS_EX_CLIENTEDGE & ~sunken, GWL_EXSTYLE);
    ChangeStyle(flat, WS_BORDER & ~flat, GWL_STYLE);
}

HRESULT InnerTextBox::SetBorderStyle(short style) {
    if (style != 0 && style != 1) return InvalidPropertyValue(IID_IDispatch);
    borderStyle_ = style;
    ApplyFrame();
    return S_OK;
}

HRESULT InnerTextBox::SetAppearance(short appearance) {
    if (appearance != 0 && appearance != 1) return InvalidPropertyValue(IID_IDispatch);
    appearance_ = appearance;
    ApplyFrame();
    return S_OK;
}

HRESULT InnerTextBox::SetAlignment(short alignment) {
    static constexpr LONG_PTR kStyles[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
    if (alignment < 0 || alignment > 2) return InvalidPropertyValue(IID_IDispatch);
    alignment_ = alignment;
    ChangeStyle(kStyles[alignment], ES_RIGHT | ES_CENTER, GWL_STYLE);
    return S_OK;
}

void InnerTextBox::SetRightToLeft(bool rightToLeft) {
    rightToLeft_ = rightToLeft;
    const LONG_PTR flags = WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
    ChangeStyle(rightToLeft ? flags : 0, rightToLeft ? 0 : flags, GWL_EXSTYLE);
}

std::wstring InnerTextBox::PasswordChar() const {
    const auto character = static_cast<wchar_t>(SendMessageW(edit_, EM_GETPASSWORDCHAR, 0, 0));
    return character ? std::wstring(1, character) : std::wstring();
}

void InnerTextBox::SetPasswordChar(const std::wstring& character) {
    SendMessageW(edit_, EM_SETPASSWORDCHAR, character.empty() ? 0 : character.front(), 0);
    InvalidateRect(edit_, nullptr, TRUE);
}

HRESULT InnerTextBox::SetMousePointer(short pointer) {
    const bool standard = pointer >= 0 && pointer < static_cast<short>(std::size(kPointerCursors));
    if (!standard && pointer != kCustomPointer) return InvalidPropertyValue(IID_IDispatch);
    mousePointer_ = pointer;
    return S_OK;
}

bool InnerTextBox::SetCursorForPointer() {
    if (mousePointer_ == 0) return false;
    HCURSOR cursor = nullptr;
    if (mousePointer_ == kCustomPointer) {
        qv::win::ComPtr<IPicture> picture = mouseIcon_ ? mouseIcon_.As<IPicture>() : qv::win::ComPtr<IPicture>();
        OLE_HANDLE handle = 0;
        if (!picture || FAILED(picture->get_Handle(&handle))) return false;
        cursor = reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(handle));
    } else {
        cursor = LoadCursorW(nullptr, kPointerCursors[mousePointer_]);
    }
    SetCursor(cursor);
    return cursor != nullptr;
}

void InnerTextBox::SetToolTipText(const std::wstring& text) {
    toolTip_ = text;
    if (!toolTipWindow_) {
        toolTipWindow_ =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, edit_, nullptr, nullptr, nullptr);
        if (!toolTipWindow_) return;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = edit_;
        tool.uId = reinterpret_cast<UINT_PTR>(edit_);
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(toolTipWindow_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = edit_;
    tool.uId = reinterpret_cast<UINT_PTR>(edit_);
    tool.lpszText = const_cast<wchar_t*>(toolTip_.c_str());
    SendMessageW(toolTipWindow_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(toolTipWindow_, TTM_ACTIVATE, toolTip_.empty() ? FALSE : TRUE, 0);
}

void InnerTextBox::Refresh() {
    InvalidateRect(edit_, nullptr, TRUE);
    UpdateWindow(edit_);
}

}  // namespace controls::win

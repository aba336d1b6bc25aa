#include "MaskedBox.h"

#include <algorithm>
#include <cmath>

#include "common/win32/Bstr.h"
#include "common/win32/com/ComError.h"
#include "common/win32/DesignFont.h"
#include "ControlEvents.h"
#include "controls/MaskedText.h"

namespace controls::win {
namespace {

constexpr LONG kBorderNone = 0;
constexpr LONG kBorderFixedSingle = 1;

HRESULT InvalidPropertyValue() { return controls::win::InvalidPropertyValue(IID__MaskedBox); }

// After the window has gone with its parent, the object answers nothing.
HRESULT WindowGone() { return E_UNEXPECTED; }

std::u16string ToU16(std::wstring_view text) { return {text.begin(), text.end()}; }
std::wstring ToWide(std::u16string_view text) { return {text.begin(), text.end()}; }

qv::win::ComPtr<IFontDisp> DesignFont() {
    qv::win::ComPtr<IFontDisp> font;
    qv::win::CreateFontObject(qv::win::FontDesign{}, IID_IFontDisp, reinterpret_cast<void**>(font.Address()));
    return font;
}

}  // namespace

qv::win::ComPtr<ITypeInfo> MaskedBox::DispatchTypeInfo() {
    static const qv::win::ComPtr<ITypeInfo> info = qv::win::com::ModuleTypeInfo(IID__MaskedBox);
    return info;
}

MaskedBox::MaskedBox() = default;

MaskedBox::~MaskedBox() {
    if (fontWatcher_) fontWatcher_->Stop();
    if (HWND window = window_) {
        Detach();
        DestroyWindow(window);
    }
}

HRESULT MaskedBox::Create(HWND parent, const RECT& rect, MaskedBoxListener* listener, qv::win::ComPtr<MaskedBox>* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return qv::win::com::ComEntry(IID__MaskedBox, "Lumen_Control", [&] {
        auto box = qv::win::com::MakeObject<MaskedBox>();
        box->window_ = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, rect.left,
            rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, nullptr, nullptr);
        if (!box->window_) throw qv::win::com::ComFailure(HRESULT_FROM_WIN32(GetLastError()), "CreateWindowExW");
        SetWindowLongPtrW(box->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box.Get()));
        box->editProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(box->window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MaskedBox::BoxProc)));
        box->listener_ = listener;
        if (auto font = DesignFont()) box->ApplyFont(font.Get());
        *out = box;
    });
}

MaskedBox* MaskedBox::FromWindow(HWND window) noexcept {
    if (!window || GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&MaskedBox::BoxProc))
        return nullptr;
    return reinterpret_cast<MaskedBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool MaskedBox::AnswerColourMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
    if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC) return false;
    MaskedBox* box = FromWindow(reinterpret_cast<HWND>(lParam));
    if (!box) return false;
    result = reinterpret_cast<LRESULT>(box->PaintColours(reinterpret_cast<HDC>(wParam)));
    return true;
}

void MaskedBox::Detach() noexcept {
    if (!window_) return;
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
}

std::wstring MaskedBox::WindowText() const {
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void MaskedBox::Show(const std::u16string& text, long caret) {
    SetWindowTextW(window_, ToWide(text).c_str());
    SendMessageW(window_, EM_SETSEL, static_cast<WPARAM>(caret), static_cast<LPARAM>(caret));
}

void MaskedBox::Selection(long& start, long& end) const {
    DWORD first = 0;
    DWORD last = 0;
    SendMessageW(window_, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    start = static_cast<long>(first);
    end = static_cast<long>(last);
}

HRESULT STDMETHODCALLTYPE MaskedBox::get_Mask(BSTR* value) {
    if (!value) return E_POINTER;
    *value = SysAllocStringLen(ToWide(mask_).c_str(), static_cast<UINT>(mask_.size()));
    return *value || mask_.empty() ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE MaskedBox::put_Mask(BSTR value) {
    if (!window_) return WindowGone();
    mask_ = ToU16(std::wstring_view(value ? value : L"", SysStringLen(value)));
    Show(EmptyMaskedText(mask_), 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::get_Text(BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    if (!window_) return WindowGone();
    *value = qv::win::Bstr(WindowText()).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::put_Text(BSTR value) {
    if (!window_) return WindowGone();
    const std::u16string text = ToU16(std::wstring_view(value ? value : L"", SysStringLen(value)));
    if (text.empty()) {
        Show(EmptyMaskedText(mask_), 0);
        return S_OK;
    }
    if (!FitsMask(mask_, text)) return InvalidPropertyValue();
    Show(text, 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::get_SelStart(LONG* value) {
    if (!value) return E_POINTER;
    if (!window_) return WindowGone();
    long start = 0;
    long end = 0;
    Selection(start, end);
    *value = start;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::put_SelStart(LONG value) {
    if (!window_) return WindowGone();
    if (value < 0) return InvalidPropertyValue();
    const long caret = std::min<long>(value, GetWindowTextLengthW(window_));
    SendMessageW(window_, EM_SETSEL, static_cast<WPARAM>(caret), static_cast<LPARAM>(caret));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::get_BackColor(OLE_COLOR* value) {
    if (!value) return E_POINTER;
    *value = colours_.Back();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::put_BackColor(OLE_COLOR value) {
    if (!BoxColours::IsColour(value)) return InvalidPropertyValue();
    colours_.SetBack(value);
    return Refresh();
}

HRESULT STDMETHODCALLTYPE MaskedBox::get_ForeColor(OLE_COLOR* value) {
    if (!value) return E_POINTER;
    *value = colours_.Fore();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::put_ForeColor(OLE_COLOR value) {
    if (!BoxColours::IsColour(value)) return InvalidPropertyValue();
    colours_.SetFore(value);
    return Refresh();
}

HBRUSH MaskedBox::PaintColours(HDC dc) { return colours_.Paint(dc, window_ && IsWindowEnabled(window_)); }

HRESULT STDMETHODCALLTYPE MaskedBox::get_Font(IFontDisp** value) {
    if (!value) return E_POINTER;
    *value = qv::win::ComPtr<IFontDisp>(font_).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::putref_Font(IFontDisp* value) {
    if (!value) return InvalidPropertyValue();
    return ApplyFont(value);
}

// The box shows the font object's own HFONT, so it keeps the object.
HRESULT MaskedBox::ApplyFont(IFontDisp* font) {
    qv::win::ComPtr<IFont> ole = qv::win::ComPtr<IFontDisp>(font).As<IFont>();
    HFONT handle = nullptr;
    if (!ole || FAILED(ole->get_hFont(&handle)) || !handle) return InvalidPropertyValue();
    font_ = qv::win::ComPtr<IFontDisp>(font);
    if (window_) SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
    if (!fontWatcher_) fontWatcher_ = qv::win::com::MakeObject<FontWatcher>([this] { ShowFont(); });
    fontWatcher_->Watch(font);
    return S_OK;
}

// A property of the font object changed: its handle is a new one.
void MaskedBox::ShowFont() {
    qv::win::ComPtr<IFont> ole = font_ ? font_.As<IFont>() : qv::win::ComPtr<IFont>();
    HFONT handle = nullptr;
    if (window_ && ole && SUCCEEDED(ole->get_hFont(&handle)) && handle) {
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
    }
}

HRESULT STDMETHODCALLTYPE MaskedBox::get_BorderStyle(LONG* value) {
    if (!value) return E_POINTER;
    *value = borderStyle_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::put_BorderStyle(LONG value) {
    if (value != kBorderNone && value != kBorderFixedSingle) return InvalidPropertyValue();
    if (!window_) return WindowGone();
    borderStyle_ = value;
    LONG_PTR style = GetWindowLongPtrW(window_, GWL_EXSTYLE);
    style =
        value == kBorderFixedSingle ? (style | WS_EX_CLIENTEDGE) : (style & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    SetWindowLongPtrW(window_, GWL_EXSTYLE, style);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::Refresh() {
    if (!window_) return WindowGone();
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::get_Enabled(VARIANT_BOOL* value) {
    if (!value) return E_POINTER;
    if (!window_) return WindowGone();
    *value = IsWindowEnabled(window_) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::put_Enabled(VARIANT_BOOL value) {
    if (!window_) return WindowGone();
    EnableWindow(window_, value != VARIANT_FALSE);
    return S_OK;
}

HRESULT MaskedBox::GetEdge(Edge edge, FLOAT* value) const {
    if (!value) return E_POINTER;
    if (!window_) return WindowGone();
    RECT rect{};
    GetWindowRect(window_, &rect);
    MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&rect), 2);
    const bool horizontal = edge == Edge::Left || edge == Edge::Width;
    const long pixels = edge == Edge::Left    ? rect.left
                        : edge == Edge::Top   ? rect.top
                        : edge == Edge::Width ? rect.right - rect.left
                                              : rect.bottom - rect.top;
    *value = PixelsToTwips(pixels, horizontal);
    return S_OK;
}

HRESULT MaskedBox::PutEdge(Edge edge, FLOAT value) {
    if (!window_) return WindowGone();
    const bool horizontal = edge == Edge::Left || edge == Edge::Width;
    const long pixels = TwipsToPixels(value, horizontal);
    if ((edge == Edge::Width || edge == Edge::Height) && pixels < 0) return InvalidPropertyValue();
    RECT rect{};
    GetWindowRect(window_, &rect);
    MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&rect), 2);
    long left = rect.left;
    long top = rect.top;
    long width = rect.right - rect.left;
    long height = rect.bottom - rect.top;
    (edge == Edge::Left ? left : edge == Edge::Top ? top : edge == Edge::Width ? width : height) = pixels;
    MoveWindow(window_, left, top, width, height, TRUE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MaskedBox::get_Left(FLOAT* value) { return GetEdge(Edge::Left, value); }
HRESULT STDMETHODCALLTYPE MaskedBox::put_Left(FLOAT value) { return PutEdge(Edge::Left, value); }
HRESULT STDMETHODCALLTYPE MaskedBox::get_Top(FLOAT* value) { return GetEdge(Edge::Top, value); }
HRESULT STDMETHODCALLTYPE MaskedBox::put_Top(FLOAT value) { return PutEdge(Edge::Top, value); }
HRESULT STDMETHODCALLTYPE MaskedBox::get_Width(FLOAT* value) { return GetEdge(Edge::Width, value); }
HRESULT STDMETHODCALLTYPE MaskedBox::put_Width(FLOAT value) { return PutEdge(Edge::Width, value); }
HRESULT STDMETHODCALLTYPE MaskedBox::get_Height(FLOAT* value) { return GetEdge(Edge::Height, value); }
HRESULT STDMETHODCALLTYPE MaskedBox::put_Height(FLOAT value) { return PutEdge(Edge::Height, value); }

HRESULT STDMETHODCALLTYPE MaskedBox::InterfaceSupportsErrorInfo(REFIID iid) {
    return qv::win::com::SupportsErrorInfo(iid, {&IID__MaskedBox});
}

}  // namespace controls::win

#pragma once
// The date box's inner masked box: a single-line Unicode EDIT window that
// always holds its mask's full layout and is reached through IDispatch by the
// dispatch identifiers of _MaskedBox, so that another masked box offering the
// same identifiers could take its place.
//
// The parent window answers the box's colour messages:
//   LRESULT result;
//   if (MaskedBox::AnswerColourMessage(message, wParam, lParam, result)) return result;
#include <memory>
#include <string>
#include <type_traits>

#include "BoxColours.h"
#include "common/win32/com/ComObject.h"
#include "FontWatcher.h"
#include "common/win32/com/DispatchObject.h"
#include "common/win32/WindowsApi.h"
#include "Lumen_Control_h.h"
#include <olectl.h>

namespace controls::win {

// What the box reports to its owner. A KeyDown or KeyUp whose keyCode comes
// back 0, and a KeyPress whose keyAscii comes back 0, is not handled further.
class MaskedBoxListener {
public:
    virtual void KeyDown(short& keyCode, short shift) = 0;
    virtual void KeyPress(short& keyAscii) = 0;
    virtual void KeyUp(short& keyCode, short shift) = 0;
    virtual void GotFocus() = 0;
    virtual void LostFocus() = 0;

protected:
    ~MaskedBoxListener() = default;
};

class MaskedBox final : public qv::win::com::DispatchObject<MaskedBox, _MaskedBox, ISupportErrorInfo> {
public:
    static constexpr qv::win::com::InterfaceEntry<MaskedBox> kInterfaces[] = {
        qv::win::com::Expose<MaskedBox, _MaskedBox>(IID__MaskedBox),
        qv::win::com::Expose<MaskedBox, IDispatch>(IID_IDispatch),
        qv::win::com::Expose<MaskedBox, ISupportErrorInfo>(IID_ISupportErrorInfo)};
    static qv::win::ComPtr<ITypeInfo> DispatchTypeInfo();

    // The box as a visible child of `parent` at `rect` (pixels), with an empty
    // mask, the design font and a fixed single border. `listener` may be null.
    static HRESULT Create(HWND parent, const RECT& rect, MaskedBoxListener* listener, qv::win::ComPtr<MaskedBox>* out);
    // The box whose EDIT window this is; nullptr for any other window.
    static MaskedBox* FromWindow(HWND window) noexcept;
    // WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC from a masked box child: true with the brush in `result`.
    static bool AnswerColourMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;

    MaskedBox();
    ~MaskedBox() override;

    HWND Window() const noexcept { return window_; }
    // The owner detaches itself (nullptr) before it goes.
    void SetListener(MaskedBoxListener* listener) noexcept { listener_ = listener; }

    HRESULT STDMETHODCALLTYPE get_Mask(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Mask(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Text(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_SelStart(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_SelStart(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_ForeColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_ForeColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override;
    HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* value) override;
    HRESULT STDMETHODCALLTYPE get_BorderStyle(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_BorderStyle(LONG value) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Left(FLOAT* value) override;
    HRESULT STDMETHODCALLTYPE put_Left(FLOAT value) override;
    HRESULT STDMETHODCALLTYPE get_Top(FLOAT* value) override;
    HRESULT STDMETHODCALLTYPE put_Top(FLOAT value) override;
    HRESULT STDMETHODCALLTYPE get_Width(FLOAT* value) override;
    HRESULT STDMETHODCALLTYPE put_Width(FLOAT value) override;
    HRESULT STDMETHODCALLTYPE get_Height(FLOAT* value) override;
    HRESULT STDMETHODCALLTYPE put_Height(FLOAT value) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

private:
    enum class Edge { Left, Top, Width, Height };

    static LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallEdit(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnKeyDown(WPARAM virtualKey);
    bool OnKeyUp(WPARAM virtualKey);
    void OnCharacter(wchar_t character);
    void Paste();
    void BlankSelection();
    void Detach() noexcept;

    std::wstring WindowText() const;
    void Show(const std::u16string& text, long caret);
    void Selection(long& start, long& end) const;
    HBRUSH PaintColours(HDC dc);
    HRESULT ApplyFont(IFontDisp* font);
    void ShowFont();
    HRESULT GetEdge(Edge edge, FLOAT* value) const;
    HRESULT PutEdge(Edge edge, FLOAT value);

    qv::win::com::ModuleReference module_;
    HWND window_ = nullptr;
    WNDPROC editProc_ = nullptr;
    MaskedBoxListener* listener_ = nullptr;
    std::u16string mask_;
    BoxColours colours_;
    qv::win::ComPtr<IFontDisp> font_;
    qv::win::ComPtr<FontWatcher> fontWatcher_;
    LONG borderStyle_ = 1;
};

}  // namespace controls::win

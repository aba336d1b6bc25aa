// The date box's windows: its surface (clicks and mouse events of its own),
// the inner masked box's keys edited digit by digit, and the focus colours.
#include "InputDate.h"

#include "ControlEvents.h"
#include "common/win32/com/DispatchCall.h"
#include "controls/InputDateRules.h"
#include "common/win32/TextConvert.h"
#include "common/win32/com/TypeLibrary.h"
#include "common/win32/Variant.h"
#include "common/win32/WindowObject.h"

namespace controls::win {
namespace {

using qv::win::Variant;

constexpr wchar_t kSurfaceClass[] = L"LumenInputDate";
constexpr DISPID kInnerText = 22;
constexpr DISPID kInnerCaret = 18;
constexpr DISPID kInnerEnabled = static_cast<DISPID>(0x8001000d);
constexpr DISPID kInnerLeft = static_cast<DISPID>(0x80010003);
constexpr DISPID kInnerTop = static_cast<DISPID>(0x80010004);
constexpr DISPID kInnerWidth = static_cast<DISPID>(0x80010005);
constexpr DISPID kInnerHeight = static_cast<DISPID>(0x80010006);

VARIANT Twips(float value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R4;
    v.fltVal = value;
    return v;
}

VARIANT Colour(std::uint32_t colour) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_UI4;
    v.ulVal = colour;
    return v;
}

}  // namespace

HWND InputDate::CreateSurface(HWND parent) {
    const SIZE size = ExtentPixels();
    HWND window = CreateControlSurface(kSurfaceClass, &InputDate::SurfaceProc, parent, size, this);
    if (!window) return nullptr;
    const RECT area{0, 0, size.cx, size.cy};
    if (FAILED(MaskedBox::Create(window, area, this, &box_))) {
        DestroyWindow(window);
        return nullptr;
    }
    inner_ = box_.As<IDispatch>();
    // The inner box's design mask, then the mask of the layout in force. The layout and the
    // colours took their initial values with the control: what a client set before this
    // window existed stays in force.
    Variant design = Variant::FromText("####-##-## ##:##:##");
    qv::win::com::PutProperty(inner_.Get(), 16, design.Get());
    ApplyFormat(format_);
    return window;
}

HWND InputDate::FocusWindow() {
    Surface();
    return box_ ? box_->Window() : nullptr;
}

LRESULT CALLBACK InputDate::SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return qv::win::RouteToWindowObject(window, message, wParam, lParam, &InputDate::window_,
                                        &InputDate::OnSurfaceMessage);
}

LRESULT InputDate::OnSurfaceMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT coloured = 0;
    if (MaskedBox::AnswerColourMessage(message, wParam, lParam, coloured)) return coloured;
    if (IsMouseEventMessage(message)) {
        short button = MouseButtons(wParam, message);
        short shift = ShiftState();
        const POINTS point = MAKEPOINTS(lParam);
        float x = PixelsToTwips(point.x, true);
        float y = PixelsToTwips(point.y, false);
        Fire(MouseEventOf(message), {qv::win::com::ByRef(&button), qv::win::com::ByRef(&shift), qv::win::com::ByRef(&x),
                                     qv::win::com::ByRef(&y)});
        if (message == WM_LBUTTONUP) Fire(kEventClick, {});
        return 0;
    }
    switch (message) {
        case WM_LBUTTONDBLCLK:
            Fire(kEventDblClick, {});
            return 0;
        case WM_SIZE:
            PlaceInner(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_SETFOCUS:
            if (box_ && box_->Window()) SetFocus(box_->Window());
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void InputDate::PlaceInner(int width, int height) {
    if (!inner_) return;
    // Left, top, height, width, in twips, through the inner box's extender.
    qv::win::com::PutProperty(inner_.Get(), kInnerLeft, Twips(0));
    qv::win::com::PutProperty(inner_.Get(), kInnerTop, Twips(0));
    qv::win::com::PutProperty(inner_.Get(), kInnerHeight, Twips(PixelsToTwips(height, false)));
    qv::win::com::PutProperty(inner_.Get(), kInnerWidth, Twips(PixelsToTwips(width, true)));
}

void InputDate::KeyDown(short& keyCode, short shift) {
    Fire(kEventKeyDown, {qv::win::com::ByRef(&keyCode), qv::win::com::ByRef(&shift)});
}

void InputDate::KeyUp(short& keyCode, short shift) {
    Fire(kEventKeyUp, {qv::win::com::ByRef(&keyCode), qv::win::com::ByRef(&shift)});
}

void InputDate::KeyPress(short& keyAscii) {
    Fire(kEventKeyPress, {qv::win::com::ByRef(&keyAscii)});
    const std::int16_t typed = keyAscii;
    // The box never handles a typed character itself.
    keyAscii = 0;
    Variant caret;
    Variant text;
    if (FAILED(qv::win::com::CallMethod(inner_.Get(), kInnerCaret, {}, caret, nullptr, DISPATCH_PROPERTYGET)) ||
        FAILED(qv::win::com::CallMethod(inner_.Get(), kInnerText, {}, text, nullptr, DISPATCH_PROPERTYGET))) {
        return;
    }
    VARIANT position = caret.Get();
    if (FAILED(VariantChangeType(&position, &position, 0, VT_I2)) || text.Type() != VT_BSTR) return;
    const std::u16string current(reinterpret_cast<const char16_t*>(text.Get().bstrVal),
                                 SysStringLen(text.Get().bstrVal));
    const DateLayout* layout = FindDateLayout(format_);
    const auto edit = EditDateKey(typed, position.iVal, current, layout ? layout->fieldLength : 0);
    if (!edit) return;
    Variant written = Variant::FromText(
        qv::win::Narrow(std::wstring_view(reinterpret_cast<const wchar_t*>(edit->text.data()), edit->text.size())));
    if (FAILED(qv::win::com::PutProperty(inner_.Get(), kInnerText, written.Get()))) return;
    VARIANT moved;
    VariantInit(&moved);
    moved.vt = VT_I4;
    moved.lVal = edit->caret;
    qv::win::com::PutProperty(inner_.Get(), kInnerCaret, moved);
}

void InputDate::GotFocus() {
    Variant enabled;
    qv::win::com::CallMethod(inner_.Get(), kInnerEnabled, {}, enabled, nullptr, DISPATCH_PROPERTYGET);
    if (enabled.Type() == VT_BOOL && enabled.Get().boolVal != VARIANT_FALSE) {
        qv::win::com::PutProperty(inner_.Get(), DISPID_BACKCOLOR, Colour(colours_.active));
    }
    InnerFocusChanged(true);
}

void InputDate::LostFocus() {
    // The inactive colour whatever the box's state.
    qv::win::com::PutProperty(inner_.Get(), DISPID_BACKCOLOR, Colour(colours_.inactive));
    InnerFocusChanged(false);
}

int InputDate::Fire(DISPID id, std::initializer_list<VARIANT> arguments) {
    if (EventsFrozen()) return 0;
    const qv::win::ComPtr<_InputDate> keep(static_cast<_InputDate*>(this));
    return events_.Fire(id, arguments);
}

}  // namespace controls::win

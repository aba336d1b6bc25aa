// The date box loaded straight from the built library: layouts, typed keys
// edited digit by digit, Text formatting, and its six saved properties.
#include <gtest/gtest.h>

#include <string>

#include "ControlFixture.h"
#include "common/win32/com/MemoryPropertyBag.h"
#include "Lumen_Control_h.h"

namespace {

using control_tests::Get;
using control_tests::Number;
using control_tests::Put;
using control_tests::Text;
using control_tests::TextOf;
using qv::win::ComPtr;
using qv::win::Variant;
namespace com = qv::win::com;

class InputDateControl : public control_tests::ControlFixture {
protected:
    ComPtr<IDispatch> Create() {
        ComPtr<IDispatch> control = ControlFixture::Create(CLSID_InputDate);
        if (control) {
            EXPECT_EQ(control.As<IPersistPropertyBag>()->InitNew(), S_OK);
        }
        return control;
    }
    static HRESULT SetFormat(IDispatch* control, short layout, com::ErrorReport* error = nullptr) {
        return com::CallMethod(control, com::DispatchIdOf(control, L"SetFormat"), {com::ByRef(&layout)}, error);
    }
    static short GetFormat(IDispatch* control) {
        Variant result;
        com::CallMethod(control, com::DispatchIdOf(control, L"GetFormat"), {}, result);
        return result.Get().iVal;
    }
    // Types through the inner box's window, as the keyboard would.
    static void Type(IDispatch* control, const std::wstring& keys) {
        ComPtr<IOleWindow> window = ComPtr<IDispatch>(control).As<IOleObject>().As<IOleWindow>();
        HWND inner = FindInner(control);
        ASSERT_NE(inner, nullptr);
        for (wchar_t key : keys) SendMessageW(inner, WM_CHAR, key, 1);
    }
    // A named CALLBACK, not a lambda: at i686 a lambda converts only to a cdecl pointer.
    static BOOL CALLBACK FindInnerOf(HWND top, LPARAM out) {
        HWND surface = FindWindowExW(top, nullptr, L"LumenInputDate", nullptr);
        if (!surface) return TRUE;
        *reinterpret_cast<HWND*>(out) = GetWindow(surface, GW_CHILD);
        return FALSE;
    }
    static HWND FindInner(IDispatch* control) {
        // The surface is parked hidden until a container shows it; its only child is the masked box.
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &FindInnerOf, reinterpret_cast<LPARAM>(&found));
        (void)control;
        return found;
    }
    static void Caret(IDispatch* control, long position) {
        HWND inner = FindInner(control);
        SendMessageW(inner, EM_SETSEL, position, position);
    }
};

TEST_F(InputDateControl, StartsInLayoutZeroAndRefusesUnknownLayoutsWithError500) {
    ComPtr<IDispatch> control = Create();
    EXPECT_EQ(GetFormat(control.Get()), 0);
    EXPECT_EQ(TextOf(control.Get()), L"    -  -     :  ");
    ASSERT_EQ(SetFormat(control.Get(), 1), S_OK);
    EXPECT_EQ(GetFormat(control.Get()), 1);
    for (short bad : {short{3}, short{-1}}) {
        com::ErrorReport error;
        EXPECT_EQ(SetFormat(control.Get(), bad, &error), DISP_E_EXCEPTION);
        EXPECT_EQ(error.result, com::ErrorNumberToHResult(500));
        EXPECT_EQ(error.description, "格式设置错误");
        EXPECT_EQ(GetFormat(control.Get()), 1);
    }
}

// A client may choose the layout and the colours before the control has a
// window (a script, or a form that sets them before it shows the control): the
// creation step runs before the first call's effect, never after it.
TEST_F(InputDateControl, SettingsMadeBeforeTheWindowExistsStayInForce) {
    const struct {
        short layout;
        const wchar_t* given;
        const wchar_t* shown;
    } cases[] = {{0, L"2010-1-5 8:03", L"2010-01-05 08:03"},
                 {1, L"2010-1-5", L"2010-01-05"},
                 {2, L"2010-1-5 8:03:09", L"2010-01-05 08:03:09"}};
    for (const auto& each : cases) {
        ComPtr<IDispatch> control = ControlFixture::Create(CLSID_InputDate);  // no InitNew: no window yet
        ASSERT_EQ(SetFormat(control.Get(), each.layout), S_OK);
        EXPECT_EQ(GetFormat(control.Get()), each.layout);
        com::ErrorReport error;
        EXPECT_EQ(Put(control.Get(), L"Text", Text(each.given), &error), S_OK) << each.layout << error.description;
        EXPECT_EQ(TextOf(control.Get()), each.shown);
    }

    ComPtr<IDispatch> control = ControlFixture::Create(CLSID_InputDate);
    long active = 0x00ABCDEF;
    long inactive = 0x00123456;
    ASSERT_EQ(control_tests::CallColours(control.Get(), L"SetBkClr", active, inactive), S_OK);
    // A container placing the control afterwards keeps them too.
    ASSERT_EQ(control.As<IPersistPropertyBag>()->InitNew(), S_OK);
    long readActive = 0;
    long readInactive = 0;
    ASSERT_EQ(control_tests::CallColours(control.Get(), L"GetBkColor", readActive, readInactive), S_OK);
    EXPECT_EQ(readActive, 0x00ABCDEF);
    EXPECT_EQ(readInactive, 0x00123456);
    EXPECT_EQ(Get(control.Get(), L"BackColor").Get().ulVal, 0x00123456u);
}

TEST_F(InputDateControl, TypedDigitsOverwriteAndStepOverSeparators) {
    ComPtr<IDispatch> control = Create();
    ASSERT_EQ(SetFormat(control.Get(), 1), S_OK);
    Caret(control.Get(), 0);
    Type(control.Get(), L"2010a-0");
    EXPECT_EQ(TextOf(control.Get()), L"2010-0 -  ");
    Type(control.Get(), L"1311111");
    EXPECT_EQ(TextOf(control.Get()), L"2010-01-31");
    Caret(control.Get(), 5);
    Type(control.Get(), L"\b");
    EXPECT_EQ(TextOf(control.Get()), L"201 -01-31");
}

TEST_F(InputDateControl, TextIsFormattedIntoTheLayoutInForce) {
    ComPtr<IDispatch> control = Create();
    ASSERT_EQ(Put(control.Get(), L"Text", Text(L"2010-1-5 8:03")), S_OK);
    EXPECT_EQ(TextOf(control.Get()), L"2010-01-05 08:03");
    com::ErrorReport error;
    EXPECT_NE(Put(control.Get(), L"Text", Text(L"not a date"), &error), S_OK);
    EXPECT_EQ(TextOf(control.Get()), L"2010-01-05 08:03");
}

TEST_F(InputDateControl, SavesSixEntriesAndReloadsInLayoutZero) {
    ComPtr<IDispatch> control = Create();
    ASSERT_EQ(SetFormat(control.Get(), 2), S_OK);
    ASSERT_EQ(Put(control.Get(), L"BackStyle", Number(VT_I2, 1)), S_OK);
    ASSERT_EQ(Put(control.Get(), L"BorderStyle", Number(VT_I4, 0)), S_OK);
    ASSERT_EQ(Put(control.Get(), L"ForeColor", Number(VT_UI4, 0x000000FF)), S_OK);
    ComPtr<com::MemoryPropertyBag> bag = com::MakeObject<com::MemoryPropertyBag>();
    ASSERT_EQ(control.As<IPersistPropertyBag>()->Save(bag.Get(), TRUE, TRUE), S_OK);
    std::wstring names;
    for (const auto& entry : bag->Entries()) names += entry.name + L";";
    EXPECT_EQ(names, L"ForeColor;BackStyle;BorderStyle;");

    ComPtr<IDispatch> reloaded = ControlFixture::Create(CLSID_InputDate);
    ASSERT_EQ(reloaded.As<IPersistPropertyBag>()->Load(bag.Get(), nullptr), S_OK);
    EXPECT_EQ(GetFormat(reloaded.Get()), 0);
    EXPECT_EQ(Get(reloaded.Get(), L"BackStyle").Get().iVal, 1);
    EXPECT_EQ(Get(reloaded.Get(), L"BorderStyle").Get().lVal, 0);
    EXPECT_EQ(Get(reloaded.Get(), L"ForeColor").Get().ulVal, 0x000000FFu);
    EXPECT_EQ(Get(reloaded.Get(), L"BackColor").Get().ulVal, 0x80000005u);
}

}  // namespace

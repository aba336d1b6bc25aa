// The validated text box loaded straight from the built library (no
// registration, no container): persistence, change notifications, and typed
// keys going to the host first and then through the rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "ControlFixture.h"
#include "common/win32/com/ComObject.h"
#include "common/win32/ComPtr.h"
#include "common/win32/com/DispatchCall.h"
#include "common/win32/com/MemoryPropertyBag.h"
#include "common/win32/Variant.h"
#include "common/win32/WindowsApi.h"
#include <ocidl.h>
#include <olectl.h>
#include "Lumen_Control_h.h"

namespace {

using qv::win::ComPtr;
using qv::win::Variant;
namespace com = qv::win::com;
using control_tests::Get;
using control_tests::Number;
using control_tests::Text;
using control_tests::TextOf;

constexpr DISPID kAlignment = 0x68030024;
constexpr DISPID kText = 0x68030006;
constexpr DISPID kChangeEvent = 9;

// Records property notifications and events; turns one typed key into another.
class Recorder final : public com::ComObject<Recorder, IDispatch, IPropertyNotifySink> {
public:
    static constexpr com::InterfaceEntry<Recorder> kInterfaces[] = {
        com::Expose<Recorder, IDispatch>(IID_IDispatch), com::Expose<Recorder, IDispatch>(DIID___TextColor),
        com::Expose<Recorder, IPropertyNotifySink>(IID_IPropertyNotifySink)};

    std::vector<DISPID> changed;
    std::vector<DISPID> events;
    short replaceKey = 0;
    short replacement = 0;
    // Once, on the next Change event: the text the handler puts into the control.
    IDispatch* rewritten = nullptr;
    std::wstring rewrite;

    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        changed.push_back(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        events.push_back(id);
        if (id == 4 && params->cArgs == 1 && *params->rgvarg[0].piVal == replaceKey) {
            *params->rgvarg[0].piVal = replacement;
        }
        if (id == kChangeEvent && rewritten && !rewrite.empty()) {
            const std::wstring text = std::exchange(rewrite, L"");
            control_tests::Put(rewritten, L"Text", control_tests::Text(text.c_str()));
            control_tests::Put(rewritten, L"SelStart", control_tests::Number(VT_I4, static_cast<long>(text.size())));
        }
        return S_OK;
    }
};

class TextColorControl : public control_tests::ControlFixture {
protected:
    ComPtr<IDispatch> Create() { return ControlFixture::Create(CLSID_TextColor); }
    static void Put(IDispatch* control, const wchar_t* name, VARIANT value) {
        ASSERT_EQ(control_tests::Put(control, name, value), S_OK) << "put " << std::string(name, name + wcslen(name));
    }
    static HWND InnerWindow(IDispatch* control) {
        Variant handle = Get(control, L"hWnd");
        return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle.Get().lVal));
    }
};

TEST_F(TextColorControl, SavesOnlyChangedEntriesInTableOrderAndLoadsThemBack) {
    ComPtr<IDispatch> first = Create();
    ASSERT_EQ(first.As<IPersistPropertyBag>()->InitNew(), S_OK);
    EXPECT_EQ(TextOf(first.Get()), L"Text1");
    Put(first.Get(), L"Text", Text(L""));
    Put(first.Get(), L"Alignment", Number(VT_I2, 2));
    Put(first.Get(), L"MaxLength", Number(VT_I4, 8));
    Put(first.Get(), L"BackColor", Number(VT_UI4, 0x00FF0000));
    Put(first.Get(), L"IsNumeric", Number(VT_BOOL, -1));

    ComPtr<com::MemoryPropertyBag> bag = com::MakeObject<com::MemoryPropertyBag>();
    ASSERT_EQ(first.As<IPersistPropertyBag>()->Save(bag.Get(), TRUE, TRUE), S_OK);
    std::vector<std::wstring> names;
    for (const auto& entry : bag->Entries()) names.push_back(entry.name);
    // The font differs from the default (no container: no ambient font), so its entries are kept.
    const std::vector<std::wstring> expected = {L"BackColor", L"Alignment", L"MaxLength", L"Text"};
    std::vector<std::wstring> withoutFont;
    for (const std::wstring& name : names) {
        if (name.rfind(L"Font", 0) != 0) withoutFont.push_back(name);
    }
    EXPECT_EQ(withoutFont, expected);

    ComPtr<IDispatch> second = Create();
    ASSERT_EQ(second.As<IPersistPropertyBag>()->Load(bag.Get(), nullptr), S_OK);
    EXPECT_EQ(TextOf(second.Get()), L"");
    EXPECT_EQ(Get(second.Get(), L"Alignment").Get().iVal, 2);
    EXPECT_EQ(Get(second.Get(), L"MaxLength").Get().lVal, 8);
    EXPECT_EQ(Get(second.Get(), L"BackColor").Get().ulVal, 0x00FF0000u);
    EXPECT_EQ(Get(second.Get(), L"IsNumeric").Get().boolVal, VARIANT_FALSE);

    // The same through a stream.
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Address()), S_OK);
    ASSERT_EQ(second.As<IPersistStreamInit>()->Save(stream.Get(), TRUE), S_OK);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ComPtr<IDispatch> third = Create();
    ASSERT_EQ(third.As<IPersistStreamInit>()->Load(stream.Get()), S_OK);
    EXPECT_EQ(TextOf(third.Get()), L"");
    EXPECT_EQ(Get(third.Get(), L"MaxLength").Get().lVal, 8);
}

TEST_F(TextColorControl, ADamagedStreamFailsTheLoadAndLeavesTheBoxWorking) {
    ComPtr<IDispatch> control = Create();
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Address()), S_OK);
    const char junk[] = "QVPB but not really";
    stream->Write(junk, sizeof junk, nullptr);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_TRUE(FAILED(control.As<IPersistStreamInit>()->Load(stream.Get())));
    Put(control.Get(), L"Text", Text(L"still here"));
    EXPECT_EQ(TextOf(control.Get()), L"still here");
}

TEST_F(TextColorControl, AChangeThroughTheFontObjectReachesTheBox) {
    ComPtr<IDispatch> control = Create();
    HWND input = InnerWindow(control.Get());
    auto shownHeight = [&] {
        LOGFONTW shown{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(input, WM_GETFONT, 0, 0)), sizeof shown, &shown);
        return std::abs(shown.lfHeight);
    };
    const LONG before = shownHeight();
    Variant font = Get(control.Get(), L"Font");
    ASSERT_EQ(font.Type(), VT_DISPATCH);
    ComPtr<IFont> object;
    ASSERT_EQ(font.Get().pdispVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(object.Address())), S_OK);
    CY size{};
    size.int64 = 300000;  // 30 points
    ASSERT_EQ(object->put_Size(size), S_OK);
    EXPECT_GT(shownHeight(), before + 10);
    // Wine reports the size of the font it realized (29.25 for 30).
    EXPECT_NEAR(Get(control.Get(), L"FontSize").Get().fltVal, 30.0f, 1.0f);
}

TEST_F(TextColorControl, DrawsItsPictureForTheContainer) {
    ComPtr<IDispatch> control = Create();
    Put(control.Get(), L"Text", Text(L""));
    Put(control.Get(), L"BackColor", Number(VT_UI4, 0x000000FF));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, 100, 21);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(memory, picture);
    const RECTL bounds{0, 0, 100, 21};
    EXPECT_EQ(control.As<IViewObject2>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds,
                                               nullptr, nullptr, 0),
              S_OK);
    EXPECT_EQ(GetPixel(memory, 90, 10), RGB(255, 0, 0)) << "the box's background, inside its frame";
    SelectObject(memory, previous);
    DeleteObject(picture);
    DeleteDC(memory);
}

TEST_F(TextColorControl, AnEmptyBagGivesTheDefaults) {
    ComPtr<IDispatch> control = Create();
    ComPtr<com::MemoryPropertyBag> empty = com::MakeObject<com::MemoryPropertyBag>();
    ASSERT_EQ(control.As<IPersistPropertyBag>()->Load(empty.Get(), nullptr), S_OK);
    EXPECT_EQ(TextOf(control.Get()), L"Text1");
    EXPECT_EQ(Get(control.Get(), L"BackColor").Get().ulVal, 0x80000005u);
    EXPECT_EQ(Get(control.Get(), L"LinkTimeout").Get().iVal, 50);
    EXPECT_EQ(Get(control.Get(), L"DrawMode").Get().iVal, 13);
}

TEST_F(TextColorControl, PassThroughPutsNotifyTheContainerAndOwnMembersDoNot) {
    ComPtr<IDispatch> control = Create();
    ComPtr<Recorder> recorder = com::MakeObject<Recorder>();
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(control.As<IConnectionPointContainer>()->FindConnectionPoint(IID_IPropertyNotifySink, point.Address()),
              S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(static_cast<IPropertyNotifySink*>(recorder.Get()), &cookie), S_OK);

    Put(control.Get(), L"Alignment", Number(VT_I2, 1));
    Put(control.Get(), L"IsNumeric", Number(VT_BOOL, -1));
    long active = 0x00112233;
    long inactive = 0x00445566;
    EXPECT_EQ(com::CallMethod(control.Get(), com::DispatchIdOf(control.Get(), L"SetBkClr"),
                              {com::ByRef(&active), com::ByRef(&inactive)}),
              S_OK);
    EXPECT_EQ(Get(control.Get(), L"BackColor").Get().ulVal, 0x00445566u);
    Put(control.Get(), L"Text", Text(L"x"));
    EXPECT_EQ(recorder->changed, (std::vector<DISPID>{kAlignment, kText}));

    // A value the box refuses: the error reaches the caller, nothing is announced.
    recorder->changed.clear();
    Variant result;
    com::ErrorReport error;
    VARIANT bad = Number(VT_I2, 7);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&bad, &named, 1, 1};
    EXCEPINFO exception{};
    EXPECT_EQ(control->Invoke(kAlignment, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, &exception, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(com::TakeErrorReport(exception).result, CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_TRUE(recorder->changed.empty());
    EXPECT_EQ(Get(control.Get(), L"Alignment").Get().iVal, 1);
    point->Unadvise(cookie);
}

TEST_F(TextColorControl, TypedKeysReachTheHostFirstThenTheRules) {
    ComPtr<IDispatch> control = Create();
    ComPtr<Recorder> recorder = com::MakeObject<Recorder>();
    recorder->replaceKey = 'a';
    recorder->replacement = '7';
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(control.As<IConnectionPointContainer>()->FindConnectionPoint(DIID___TextColor, point.Address()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(recorder.Get()), &cookie), S_OK);
    Put(control.Get(), L"IsNumeric", Number(VT_BOOL, -1));
    Put(control.Get(), L"MaxNumber", Number(VT_R8, 100));
    Put(control.Get(), L"Text", Text(L""));
    recorder->events.clear();

    HWND input = InnerWindow(control.Get());
    ASSERT_NE(input, nullptr);
    for (wchar_t key : std::wstring(L"1a5")) SendMessageW(input, WM_CHAR, key, 1);
    // "a" became "7" in the host's handler; "5" would make 175, above 100.
    EXPECT_EQ(TextOf(control.Get()), L"17");
    EXPECT_EQ(std::count(recorder->events.begin(), recorder->events.end(), 4), 3);
    EXPECT_EQ(std::count(recorder->events.begin(), recorder->events.end(), 9), 2);

    // Delete in front of the point of 1.5 is judged as Backspace after it: refused.
    Put(control.Get(), L"Text", Text(L"1.5"));
    Put(control.Get(), L"SelStart", Number(VT_I4, 1));
    SendMessageW(input, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(TextOf(control.Get()), L"1.5");
    EXPECT_EQ(Get(control.Get(), L"SelStart").Get().lVal, 1);
    point->Unadvise(cookie);
}

// Rules and colours set before the control has a window (the first calls of a
// script, say) stay in force once the window exists.
TEST_F(TextColorControl, SettingsMadeBeforeTheWindowExistsStayInForce) {
    ComPtr<IDispatch> control = Create();
    Put(control.Get(), L"IsNumeric", Number(VT_BOOL, -1));
    Put(control.Get(), L"MaxNumber", Number(VT_R8, 50));
    long active = 0x00ABCDEF;
    long inactive = 0x00123456;
    ASSERT_EQ(control_tests::CallColours(control.Get(), L"SetBkClr", active, inactive), S_OK);
    ASSERT_EQ(control.As<IPersistPropertyBag>()->InitNew(), S_OK);
    Put(control.Get(), L"MaxLength", Number(VT_I4, 2));
    Put(control.Get(), L"Text", Text(L""));
    HWND input = InnerWindow(control.Get());
    ASSERT_NE(input, nullptr);
    for (wchar_t key : std::wstring(L"4a7")) SendMessageW(input, WM_CHAR, key, 1);
    EXPECT_EQ(TextOf(control.Get()), L"47");
    SendMessageW(input, WM_CHAR, L'1', 1);  // the length rule
    EXPECT_EQ(TextOf(control.Get()), L"47");
    Put(control.Get(), L"Text", Text(L"6"));
    Put(control.Get(), L"SelStart", Number(VT_I4, 1));
    SendMessageW(input, WM_CHAR, L'0', 1);  // 60 is above 50
    EXPECT_EQ(TextOf(control.Get()), L"6");
    long readActive = 0;
    long readInactive = 0;
    ASSERT_EQ(control_tests::CallColours(control.Get(), L"GetBkColor", readActive, readInactive), S_OK);
    EXPECT_EQ(readActive, 0x00ABCDEF);
    EXPECT_EQ(readInactive, 0x00123456);
}

// The control keeps what its rules read of the box between keys; every way
// the text or the caret changes must be seen by the next key.
TEST_F(TextColorControl, KeysAreJudgedOnTheBoxAsItIsNow) {
    ComPtr<IDispatch> control = Create();
    Put(control.Get(), L"IsNumeric", Number(VT_BOOL, -1));
    Put(control.Get(), L"MaxNumber", Number(VT_R8, 1000));
    Put(control.Get(), L"DigitNumber", Number(VT_I2, 1));
    Put(control.Get(), L"Text", Text(L"12"));
    Put(control.Get(), L"SelStart", Number(VT_I4, 2));
    HWND input = InnerWindow(control.Get());
    ASSERT_NE(input, nullptr);
    const auto type = [&](const wchar_t* keys) {
        for (const wchar_t* key = keys; *key; ++key) SendMessageW(input, WM_CHAR, *key, 1);
    };

    type(L".56");  // one decimal only
    EXPECT_EQ(TextOf(control.Get()), L"12.5");
    SendMessageW(input, WM_KEYDOWN, VK_HOME, 1);  // the box moves its own caret
    type(L"9");
    EXPECT_EQ(TextOf(control.Get()), L"912.5");

    Put(control.Get(), L"Text", Text(L"99"));
    Put(control.Get(), L"SelStart", Number(VT_I4, 2));
    type(L"99");  // 999, then 9999 above 1000
    EXPECT_EQ(TextOf(control.Get()), L"999");
    SendMessageW(input, EM_SETSEL, 0, 3);  // a selection skips the magnitude test
    type(L"5");
    EXPECT_EQ(TextOf(control.Get()), L"5");
    SetWindowTextW(input, L"-1");
    SendMessageW(input, EM_SETSEL, 0, 0);
    type(L"7");  // nothing goes in front of a minus sign
    EXPECT_EQ(TextOf(control.Get()), L"-1");
}

// While a person types, the control follows the text from the typed keys
// rather than reading the box again; the box and any handler of the change
// must still be seen as they are.
TEST_F(TextColorControl, TypedTextIsFollowedAsTheBoxHasIt) {
    ComPtr<IDispatch> control = Create();
    HWND input = InnerWindow(control.Get());
    ASSERT_NE(input, nullptr);
    const auto type = [&](const wchar_t* keys) {
        for (const wchar_t* key = keys; *key; ++key) SendMessageW(input, WM_CHAR, *key, 1);
    };

    // Bytes counted on what was typed: the wide character takes two of the five.
    Put(control.Get(), L"ChaTwoByte", Number(VT_BOOL, -1));
    Put(control.Get(), L"MaxLength", Number(VT_I4, 5));
    Put(control.Get(), L"Text", Text(L""));
    type(
        L"ab\x4E2D"
        L"cd");
    EXPECT_EQ(TextOf(control.Get()),
              L"ab\x4E2D"
              L"c");
    SendMessageW(input, EM_SETSEL, 2, 3);  // the wide character replaced by a narrow one
    type(L"xy");
    EXPECT_EQ(TextOf(control.Get()), L"abxyc");

    // The first point replaced by a digit: a new point may follow.
    Put(control.Get(), L"ChaTwoByte", Number(VT_BOOL, 0));
    Put(control.Get(), L"MaxLength", Number(VT_I4, 0));
    Put(control.Get(), L"IsNumeric", Number(VT_BOOL, -1));
    Put(control.Get(), L"MaxNumber", Number(VT_R8, 1000000));
    Put(control.Get(), L"DigitNumber", Number(VT_I2, 2));
    Put(control.Get(), L"Text", Text(L"1.5"));
    SendMessageW(input, EM_SETSEL, 1, 2);
    type(L"7.25.");  // 175, a point before the 5, one more decimal, then no more
    EXPECT_EQ(TextOf(control.Get()), L"17.25");

    // A handler of the change puts another text: the next key is judged on it.
    ComPtr<Recorder> recorder = com::MakeObject<Recorder>();
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(control.As<IConnectionPointContainer>()->FindConnectionPoint(DIID___TextColor, point.Address()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(recorder.Get()), &cookie), S_OK);
    Put(control.Get(), L"MaxNumber", Number(VT_R8, 1000));
    Put(control.Get(), L"Text", Text(L""));
    recorder->rewritten = control.Get();
    recorder->rewrite = L"999";
    type(L"5");
    EXPECT_EQ(TextOf(control.Get()), L"999");
    type(L"9");  // 9999 is above 1000
    EXPECT_EQ(TextOf(control.Get()), L"999");
    point->Unadvise(cookie);

    // The box itself refuses what does not fit its own limit; the rules' limit counts after it.
    Put(control.Get(), L"IsNumeric", Number(VT_BOOL, 0));
    Put(control.Get(), L"MaxLength", Number(VT_I4, 10));
    Put(control.Get(), L"Text", Text(L"abc"));
    SendMessageW(input, EM_LIMITTEXT, 4, 0);
    SendMessageW(input, EM_SETSEL, 3, 3);
    type(L"de");
    EXPECT_EQ(TextOf(control.Get()), L"abcd");
    SendMessageW(input, EM_LIMITTEXT, 100, 0);
    type(L"123456789");
    EXPECT_EQ(TextOf(control.Get()), L"abcd123456");
}

}  // namespace

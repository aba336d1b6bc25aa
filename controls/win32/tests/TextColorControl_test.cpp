// The validated text box loaded straight from the built library (no
// registration, no container): persistence, change notifications, and typed
// keys going to the host first and then through the rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Bstr.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "DispatchCall.h"
#include "MemoryPropertyBag.h"
#include "Variant.h"
#include "WindowsApi.h"
#include <ocidl.h>
#include <olectl.h>
#include "Lumen_Control_h.h"

namespace {

using qv::win::ComPtr;
using qv::win::Variant;
namespace com = qv::win::com;

constexpr DISPID kAlignment = 0x68030024;
constexpr DISPID kText = 0x68030006;

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

    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override { changed.push_back(id); return S_OK; }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        events.push_back(id);
        if (id == 4 && params->cArgs == 1 && *params->rgvarg[0].piVal == replaceKey) {
            *params->rgvarg[0].piVal = replacement;
        }
        return S_OK;
    }
};

std::wstring LibraryPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Lumen_Control.ocx";
}

class TextColorControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        library_ = LoadLibraryW(LibraryPath().c_str());
        ASSERT_NE(library_, nullptr);
        using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(library_, "DllGetClassObject")));
        ASSERT_NE(get, nullptr);
        ASSERT_EQ(get(CLSID_TextColor, IID_IClassFactory, reinterpret_cast<void**>(factory_.Address())), S_OK);
    }
    void TearDown() override {
        factory_.Reset();
        OleUninitialize();
    }

    ComPtr<IDispatch> Create() {
        ComPtr<IDispatch> control;
        EXPECT_EQ(factory_->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(control.Address())), S_OK);
        return control;
    }

    static void Put(IDispatch* control, const wchar_t* name, VARIANT value) {
        Variant holder;
        *holder.Address() = value;
        DISPID id = com::DispatchIdOf(control, name);
        DISPID named = DISPID_PROPERTYPUT;
        VARIANT argument = holder.Get();
        DISPPARAMS params{&argument, &named, 1, 1};
        ASSERT_EQ(control->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr), S_OK)
            << "put " << std::string(name, name + wcslen(name));
    }
    static Variant Get(IDispatch* control, const wchar_t* name) {
        Variant result;
        com::CallMethod(control, com::DispatchIdOf(control, name), {}, result, nullptr, DISPATCH_PROPERTYGET);
        return result;
    }
    static VARIANT Text(const wchar_t* text) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
        return v;
    }
    static VARIANT Number(VARTYPE type, long value) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = value;
        VariantChangeType(&v, &v, 0, type);
        return v;
    }
    static std::wstring TextOf(IDispatch* control) {
        Variant text = Get(control, L"Text");
        return text.Type() == VT_BSTR ? std::wstring(text.Get().bstrVal, SysStringLen(text.Get().bstrVal)) : L"<none>";
    }
    static HWND InnerWindow(IDispatch* control) {
        Variant handle = Get(control, L"hWnd");
        return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle.Get().lVal));
    }

    HMODULE library_ = nullptr;
    ComPtr<IClassFactory> factory_;
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
    for (const auto& [name, type] : bag->Entries()) names.push_back(name);
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
    VARIANT limit;
    VariantInit(&limit);
    limit.vt = VT_R8;
    limit.dblVal = 100;
    Put(control.Get(), L"MaxNumber", limit);
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

}  // namespace

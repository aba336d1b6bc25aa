#pragma once
// The controls loaded straight from the built library (no registration, no
// container), and property access through IDispatch by name.
#include <gtest/gtest.h>

#include <string>

#include "common/win32/ComPtr.h"
#include "common/win32/com/DispatchCall.h"
#include "common/win32/Variant.h"
#include "common/win32/WindowsApi.h"
#include <ocidl.h>

namespace control_tests {

inline std::wstring LibraryPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Lumen_Control.ocx";
}

inline VARIANT Text(const wchar_t* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

inline VARIANT Number(VARTYPE type, long value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    VariantChangeType(&v, &v, 0, type);
    return v;
}

// Takes the value (a BSTR in it is freed); the put's result and error.
inline HRESULT Put(IDispatch* control, const wchar_t* name, VARIANT value, qv::win::com::ErrorReport* error = nullptr) {
    qv::win::Variant holder;
    *holder.Address() = value;
    return qv::win::com::PutProperty(control, qv::win::com::DispatchIdOf(control, name), holder.Get(), error);
}

inline qv::win::Variant Get(IDispatch* control, const wchar_t* name) {
    qv::win::Variant result;
    qv::win::com::CallMethod(control, qv::win::com::DispatchIdOf(control, name), {}, result, nullptr,
                             DISPATCH_PROPERTYGET);
    return result;
}

inline std::wstring TextOf(IDispatch* control) {
    qv::win::Variant text = Get(control, L"Text");
    return text.Type() == VT_BSTR ? std::wstring(text.Get().bstrVal, SysStringLen(text.Get().bstrVal)) : L"<none>";
}

// SetBkClr or GetBkColor: both colours by reference.
inline HRESULT CallColours(IDispatch* control, const wchar_t* method, long& active, long& inactive) {
    return qv::win::com::CallMethod(control, qv::win::com::DispatchIdOf(control, method),
                                    {qv::win::com::ByRef(&active), qv::win::com::ByRef(&inactive)}, nullptr);
}

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        library_ = LoadLibraryW(LibraryPath().c_str());
        ASSERT_NE(library_, nullptr);
        getClassObject_ =
            reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(library_, "DllGetClassObject")));
        ASSERT_NE(getClassObject_, nullptr);
    }
    void TearDown() override { OleUninitialize(); }

    qv::win::ComPtr<IDispatch> Create(const CLSID& clsid) {
        qv::win::ComPtr<IClassFactory> factory;
        qv::win::ComPtr<IDispatch> control;
        EXPECT_EQ(getClassObject_(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Address())), S_OK);
        if (factory) {
            EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(control.Address())),
                      S_OK);
        }
        return control;
    }

private:
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    HMODULE library_ = nullptr;
    GetClassObject getClassObject_ = nullptr;
};

}  // namespace control_tests

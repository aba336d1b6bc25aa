// The library's four exported entry points.
#include "common/win32/com/ClassFactory.h"
#include "ControlRegistration.h"
#include "InputDate.h"
#include "TextColor.h"

namespace {

HRESULT CreateTextColor(REFIID iid, void** out) {
    return qv::win::com::CreateAndQuery<controls::win::TextColor>(iid, out);
}

HRESULT CreateInputDate(REFIID iid, void** out) {
    return qv::win::com::CreateAndQuery<controls::win::InputDate>(iid, out);
}

}  // namespace

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const bool textColor = IsEqualCLSID(clsid, CLSID_TextColor);
    if (!textColor && !IsEqualCLSID(clsid, CLSID_InputDate)) return CLASS_E_CLASSNOTAVAILABLE;
    HRESULT result = E_OUTOFMEMORY;
    qv::win::com::ComEntry(IID_IClassFactory, "", [&] {
        auto factory =
            qv::win::com::MakeObject<qv::win::com::ClassFactory>(textColor ? &CreateTextColor : &CreateInputDate);
        result = factory->QueryInterface(iid, out);
    });
    return result;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return qv::win::com::ModuleLifetime::Count() == 0 ? S_OK : S_FALSE; }

HRESULT STDAPICALLTYPE DllRegisterServer() { return controls::win::RegisterLibrary(); }

HRESULT STDAPICALLTYPE DllUnregisterServer() { return controls::win::UnregisterLibrary(); }

}  // extern "C"

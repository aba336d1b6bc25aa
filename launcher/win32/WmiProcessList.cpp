#include "WmiProcessList.h"

#include "common/win32/ComPtr.h"
#include "common/win32/Variant.h"
#include "common/win32/WindowsApi.h"
#include <objbase.h>

namespace launcher::win {
namespace {

using qv::win::ComPtr;
using qv::win::Variant;

// Property reads also ask for a method call: some WMI providers answer a bare
// property get with E_NOTIMPL, and the scripting objects accept both.
constexpr WORD kPropertyGet = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

HRESULT Invoke(IDispatch& object, DISPID id, WORD kind, Variant* argument, Variant& result) {
    DISPPARAMS parameters{};
    if (argument) {
        parameters.rgvarg = const_cast<VARIANT*>(&argument->Get());
        parameters.cArgs = 1;
    }
    return object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, result.Address(), nullptr, nullptr);
}

HRESULT InvokeByName(IDispatch& object, const wchar_t* name, WORD kind, Variant* argument, Variant& result) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (const HRESULT hr = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); FAILED(hr)) {
        return hr;
    }
    return Invoke(object, id, kind, argument, result);
}

template <class T>
ComPtr<T> ObjectIn(const Variant& value) {
    const VARIANT& raw = value.Get();
    if ((raw.vt != VT_DISPATCH && raw.vt != VT_UNKNOWN) || !raw.punkVal) {
        return {};
    }
    return ComPtr<IUnknown>(raw.punkVal).As<T>();
}

ComPtr<IEnumVARIANT> EnumerateProcesses() {
    ComPtr<IDispatch> service;
    if (FAILED(CoGetObject(L"WinMgmts:", nullptr, IID_IDispatch, reinterpret_cast<void**>(service.Address()))) ||
        !service) {
        return {};
    }
    Variant className = Variant::FromText("Win32_Process");
    Variant instances;
    if (FAILED(InvokeByName(*service.Get(), L"InstancesOf", DISPATCH_METHOD, &className, instances))) {
        return {};
    }
    const auto set = ObjectIn<IDispatch>(instances);
    Variant enumerator;
    if (!set || FAILED(Invoke(*set.Get(), DISPID_NEWENUM, kPropertyGet, nullptr, enumerator))) {
        return {};
    }
    return ObjectIn<IEnumVARIANT>(enumerator);
}

enum class Read { Text, Null, Failed };

Read DescriptionOf(const Variant& item, std::string& description) {
    const auto process = ObjectIn<IDispatch>(item);
    Variant value;
    if (!process || FAILED(InvokeByName(*process.Get(), L"Description", kPropertyGet, nullptr, value))) {
        return Read::Failed;
    }
    if (value.Type() == VT_NULL || value.Type() == VT_EMPTY) {
        return Read::Null;
    }
    return SUCCEEDED(value.ToText(description)) ? Read::Text : Read::Failed;
}

}  // namespace

bool AnyProcessDescription(const std::function<bool(const std::string&)>& matches) {
    const auto processes = EnumerateProcesses();
    if (!processes) {
        return false;
    }
    for (;;) {
        Variant item;
        ULONG fetched = 0;
        if (processes->Next(1, item.Address(), &fetched) != S_OK || fetched != 1) {
            return false;
        }
        std::string description;
        switch (DescriptionOf(item, description)) {
            case Read::Failed:
                return false;
            case Read::Null:
                break;
            case Read::Text:
                if (matches(description)) {
                    return true;
                }
                break;
        }
    }
}

}  // namespace launcher::win

#pragma once
// A COM class whose first interface is dual: IDispatch is answered from the
// interface's type information (ITypeInfo::Invoke calls the vtable), so the
// class writes only the vtable methods.
//
//   class Thing final : public qv::win::com::DispatchObject<Thing, IThing, ISupportErrorInfo> {
//       static constexpr InterfaceEntry<Thing> kInterfaces[] = {
//           Expose<Thing, IThing>(IID_IThing), Expose<Thing, IDispatch>(IID_IDispatch), ...};
//       static ComPtr<ITypeInfo> DispatchTypeInfo() { return ModuleTypeInfo(IID_IThing); }
//   };
//
// IProvideClassInfo: answer GetClassInfo with ProvideClassInfo(CLSID_Thing, out).
#include "ComObject.h"
#include "TypeLibrary.h"
#include <ocidl.h>

namespace qv::win::com {

HRESULT DispatchGetTypeInfo(ITypeInfo* info, UINT index, ITypeInfo** out) noexcept;
HRESULT DispatchGetIDsOfNames(ITypeInfo* info, REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) noexcept;
HRESULT DispatchInvoke(ITypeInfo* info, void* instance, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, UINT* argumentError) noexcept;
HRESULT ProvideClassInfo(REFCLSID clsid, ITypeInfo** out) noexcept;

template <class Derived, class Dual, class... Others>
class DispatchObject : public ComObject<Derived, Dual, Others...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) {
            return E_POINTER;
        }
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        return DispatchGetTypeInfo(Derived::DispatchTypeInfo().Get(), index, out);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return DispatchGetIDsOfNames(Derived::DispatchTypeInfo().Get(), iid, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override {
        return DispatchInvoke(Derived::DispatchTypeInfo().Get(), static_cast<Dual*>(this), id, iid, flags, params,
                              result, exception, argumentError);
    }
};

}  // namespace qv::win::com

#include "DispatchObject.h"

namespace qv::win::com {

HRESULT DispatchGetTypeInfo(ITypeInfo* info, UINT index, ITypeInfo** out) noexcept {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (index != 0) {
        return DISP_E_BADINDEX;
    }
    if (!info) {
        return TYPE_E_ELEMENTNOTFOUND;
    }
    info->AddRef();
    *out = info;
    return S_OK;
}

HRESULT DispatchGetIDsOfNames(ITypeInfo* info, REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
    if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (!info) {
        return TYPE_E_ELEMENTNOTFOUND;
    }
    return DispGetIDsOfNames(info, names, count, ids);
}

HRESULT DispatchInvoke(ITypeInfo* info, void* instance, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, UINT* argumentError) noexcept {
    if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (!info) {
        return TYPE_E_ELEMENTNOTFOUND;
    }
    SetErrorInfo(0, nullptr);
    return info->Invoke(instance, id, flags, params, result, exception, argumentError);
}

HRESULT ProvideClassInfo(REFCLSID clsid, ITypeInfo** out) noexcept {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    ComPtr<ITypeInfo> info = ModuleTypeInfo(clsid);
    if (!info) {
        return TYPE_E_ELEMENTNOTFOUND;
    }
    *out = info.Detach();
    return S_OK;
}

}  // namespace qv::win::com

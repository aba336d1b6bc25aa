#include "DispatchSink.h"

namespace qv::win::com {

HRESULT STDMETHODCALLTYPE DispatchSink::QueryInterface(REFIID iid, void** out) {
    if (out && IsEqualIID(iid, events_)) {
        AddRef();
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    return ComObject::QueryInterface(iid, out);
}

HRESULT STDMETHODCALLTYPE DispatchSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DispatchSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                               EXCEPINFO*, UINT*) {
    if (result) VariantInit(result);
    DISPPARAMS none{};
    return OnEvent(id, params ? *params : none, result);
}

}  // namespace qv::win::com

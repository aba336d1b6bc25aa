#include "EventSink.h"

#include "common/win32/Variant.h"

namespace zkem {

HRESULT EventSink::QueryInterface(REFIID iid, void** out) {
    // The event interface's IID is known only at run time, so it is checked here.
    if (out && IsEqualIID(iid, *entries_[0].iid)) {
        AddRef();
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    return ComObject::QueryInterface(iid, out);
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    long argument = -1;
    if (params && params->cArgs > 0) {
        // Arguments come last first: the first declared one is at the end.
        qv::win::Variant value;
        if (SUCCEEDED(::VariantChangeType(value.Address(), &params->rgvarg[params->cArgs - 1], 0, VT_I4)))
            argument = value.Get().lVal;
    }
    events_.emplace_back(id, argument);
    return S_OK;
}

}  // namespace zkem

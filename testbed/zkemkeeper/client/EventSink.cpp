#include "EventSink.h"

#include "common/win32/Variant.h"

namespace zkem {

HRESULT EventSink::OnEvent(DISPID id, DISPPARAMS& params, VARIANT*) {
    long argument = -1;
    if (params.cArgs > 0) {
        // Arguments come last first: the first declared one is at the end.
        qv::win::Variant value;
        if (SUCCEEDED(::VariantChangeType(value.Address(), &params.rgvarg[params.cArgs - 1], 0, VT_I4)))
            argument = value.Get().lVal;
    }
    events_.emplace_back(id, argument);
    return S_OK;
}

}  // namespace zkem

#include "MonitorEventSink.h"

namespace monitor_client {

HRESULT MonitorEventSink::OnEvent(DISPID id, DISPPARAMS& params, VARIANT*) {
    if ((id != 1 && id != 2) || params.cArgs != 1) {
        return DISP_E_MEMBERNOTFOUND;
    }
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, &params.rgvarg[0], 0, VT_I4))) {
        return DISP_E_TYPEMISMATCH;
    }
    if (handler_) {
        handler_(id == 2, number.lVal);
    }
    return S_OK;
}

}  // namespace monitor_client

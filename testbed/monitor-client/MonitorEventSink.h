#pragma once
// The monitor's events (OnDisconnect 1, OnConnectRestore 2) with their
// lMachineNo, handed to a handler as they arrive. Used by monitor-client and
// by the main-client stand-in's form.
#include <functional>

#include "common/win32/com/DispatchSink.h"
#include "qvlCheckCommunicate_h.h"

namespace monitor_client {

class MonitorEventSink final : public qv::win::com::DispatchSink {
public:
    using Handler = std::function<void(bool restored, long machine)>;
    explicit MonitorEventSink(Handler handler)
        : DispatchSink(DIID___clsCheckCommunicate), handler_(std::move(handler)) {}

private:
    HRESULT OnEvent(DISPID id, DISPPARAMS& params, VARIANT*) override;

    Handler handler_;
};

}  // namespace monitor_client

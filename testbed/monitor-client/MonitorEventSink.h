#pragma once
// The monitor's events (OnDisconnect 1, OnConnectRestore 2) with their
// lMachineNo, handed to a handler as they arrive. Used by monitor-client and
// by the main-client stand-in's form.
#include <functional>

#include "common/win32/com/ComObject.h"
#include "qvlCheckCommunicate_h.h"

namespace monitor_client {

class MonitorEventSink final : public qv::win::com::ComObject<MonitorEventSink, IDispatch> {
public:
    static constexpr qv::win::com::InterfaceEntry<MonitorEventSink> kInterfaces[] = {
        qv::win::com::Expose<MonitorEventSink, IDispatch>(DIID___clsCheckCommunicate),
        qv::win::com::Expose<MonitorEventSink, IDispatch>(IID_IDispatch)};

    using Handler = std::function<void(bool restored, long machine)>;
    explicit MonitorEventSink(Handler handler) : handler_(std::move(handler)) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

private:
    Handler handler_;
};

}  // namespace monitor_client

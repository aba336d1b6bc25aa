#pragma once
// Records the monitor's events (OnDisconnect 1, OnConnectRestore 2) with their
// lMachineNo, in order of arrival.
#include <string>
#include <utility>
#include <vector>

#include "ComObject.h"
#include "qvlCheckCommunicate_h.h"

namespace monitor_client {

class MonitorEventSink final : public qv::win::com::ComObject<MonitorEventSink, IDispatch> {
public:
    static constexpr qv::win::com::InterfaceEntry<MonitorEventSink> kInterfaces[] = {
        qv::win::com::Expose<MonitorEventSink, IDispatch>(DIID___clsCheckCommunicate),
        qv::win::com::Expose<MonitorEventSink, IDispatch>(IID_IDispatch)};

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    std::vector<std::pair<std::string, long>> Take() { return std::exchange(events_, {}); }
    std::size_t Count() const noexcept { return events_.size(); }

private:
    std::vector<std::pair<std::string, long>> events_;
};

}  // namespace monitor_client

#include "TerminalMonitor.h"

#include <utility>

#include "common/win32/Bstr.h"
#include "common/win32/com/ComError.h"
#include "common/win32/com/ComObject.h"
#include "common/win32/com/DispatchCall.h"
#include "testbed/monitor-client/MonitorEventSink.h"

namespace testbed {
namespace {

using qv::win::Bstr;
using qv::win::ComPtr;

constexpr wchar_t kProgId[] = L"qvlCheckCommunicate.clsCheckCommunicate";
constexpr DISPID kSetCZKEMs = 0x60030001;
constexpr DISPID kStartCheck = 0x60030002;
constexpr DISPID kEndCheck = 0x60030003;
constexpr DISPID kTimer = 0x60030005;

HRESULT Described(HRESULT hr, const qv::win::com::ErrorReport& report, std::string& error) {
    error = report.description;
    return hr == DISP_E_EXCEPTION && FAILED(report.result) ? report.result : hr;
}

}  // namespace

HRESULT TerminalMonitor::Start(const TerminalSetting& setting, EventHandler handler, std::string& error) {
    Stop();
    error.clear();
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(kProgId, &clsid);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(m_monitor.Address()));
    }
    if (SUCCEEDED(hr)) {
        const ComPtr<IConnectionPointContainer> points = m_monitor.As<IConnectionPointContainer>();
        hr = points ? points->FindConnectionPoint(DIID___clsCheckCommunicate, m_point.Address()) : E_NOINTERFACE;
    }
    if (SUCCEEDED(hr)) {
        const ComPtr<monitor_client::MonitorEventSink> sink =
            qv::win::com::MakeObject<monitor_client::MonitorEventSink>(std::move(handler));
        hr = m_point->Advise(static_cast<IDispatch*>(sink.Get()), &m_cookie);
        if (FAILED(hr)) {
            m_point.Reset();
        }
    }
    qv::win::com::ErrorReport report;
    if (SUCCEEDED(hr)) {
        Bstr addresses(setting.addresses);
        Bstr ports(setting.ports);
        // By reference: whatever the callee leaves there goes back to its owner.
        BSTR addressesRaw = addresses.Detach();
        BSTR portsRaw = ports.Detach();
        hr = qv::win::com::CallMethod(m_monitor.Get(), kSetCZKEMs,
                                      {qv::win::com::ByRef(&addressesRaw), qv::win::com::ByRef(&portsRaw)}, &report);
        addresses.Attach(addressesRaw);
        ports.Attach(portsRaw);
    }
    if (SUCCEEDED(hr)) {
        hr = qv::win::com::CallMethod(m_monitor.Get(), kStartCheck, {}, &report);
    }
    if (FAILED(hr)) {
        Stop();
    }
    return Described(hr, report, error);
}

HRESULT TerminalMonitor::Poll() {
    return m_monitor ? qv::win::com::CallMethod(m_monitor.Get(), kTimer, {}) : E_POINTER;
}

void TerminalMonitor::Stop() {
    if (!m_monitor) {
        return;
    }
    qv::win::com::CallMethod(m_monitor.Get(), kEndCheck, {});
    if (m_point) {
        m_point->Unadvise(m_cookie);
        m_point.Reset();
    }
    m_monitor.Reset();
}

}  // namespace testbed

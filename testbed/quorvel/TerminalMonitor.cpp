#include "TerminalMonitor.h"

#include <utility>

#include "Bstr.h"
#include "ComError.h"
#include "ComObject.h"
#include "DispatchCall.h"

namespace testbed {
namespace {

using qv::win::Bstr;
using qv::win::ComPtr;

constexpr wchar_t kProgId[] = L"qvlCheckCommunicate.clsCheckCommunicate";
// The monitor's event interface __clsCheckCommunicate.
constexpr IID kEventsIid = {0x75AFE9E2, 0xB06F, 0x482B, {0x93, 0x16, 0x17, 0x5D, 0x49, 0xD7, 0xA5, 0xB0}};
constexpr DISPID kSetCZKEMs = 0x60030001;
constexpr DISPID kStartCheck = 0x60030002;
constexpr DISPID kEndCheck = 0x60030003;
constexpr DISPID kTimer = 0x60030005;
constexpr DISPID kOnDisconnect = 1;
constexpr DISPID kOnConnectRestore = 2;

class MonitorEvents final : public qv::win::com::ComObject<MonitorEvents, IDispatch> {
public:
    static constexpr qv::win::com::InterfaceEntry<MonitorEvents> kInterfaces[] = {
        qv::win::com::Expose<MonitorEvents, IDispatch>(kEventsIid),
        qv::win::com::Expose<MonitorEvents, IDispatch>(IID_IDispatch)};

    explicit MonitorEvents(TerminalMonitor::EventHandler handler) : m_handler(std::move(handler)) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if ((id != kOnDisconnect && id != kOnConnectRestore) || !params || params->cArgs != 1) {
            return DISP_E_MEMBERNOTFOUND;
        }
        qv::win::Variant position;
        if (FAILED(VariantChangeType(position.Address(), &params->rgvarg[0], 0, VT_I4))) {
            return DISP_E_TYPEMISMATCH;
        }
        if (m_handler) {
            m_handler(id == kOnConnectRestore, position.Get().lVal);
        }
        return S_OK;
    }

private:
    TerminalMonitor::EventHandler m_handler;
};

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
        hr = points ? points->FindConnectionPoint(kEventsIid, m_point.Address()) : E_NOINTERFACE;
    }
    if (SUCCEEDED(hr)) {
        const ComPtr<MonitorEvents> sink = qv::win::com::MakeObject<MonitorEvents>(std::move(handler));
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

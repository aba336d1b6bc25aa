#include "TerminalControl.h"

#include "common/win32/Bstr.h"
#include "common/win32/com/ComError.h"
#include "common/win32/TextConvert.h"
#include "Timeouts.h"

namespace zkem {
namespace {

constexpr UINT kSocketMessage = WM_APP + 1;
// Posted after a call that read notifications, so that they are fired from the
// message loop rather than in the middle of the call.
constexpr UINT kFlushMessage = WM_APP + 2;
constexpr DISPID kNotificationId = 1020;  // the 20th event of _ITerminalEvents

VARIANT_BOOL AsVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

}  // namespace

qv::win::ComPtr<ITypeInfo> TerminalControl::DispatchTypeInfo() {
    static const qv::win::ComPtr<ITypeInfo> info = qv::win::com::ModuleTypeInfo(IID_ITerminalControl);
    return info;
}

TerminalControl::TerminalControl()
    : window_([this](UINT message) { OnSocketMessage(message); }), link_(window_.Handle(), kSocketMessage) {}

TerminalControl::~TerminalControl() { events_.Clear(); }

HRESULT TerminalControl::SimulatorVersion(BSTR* text) {
    if (!text) return E_POINTER;
    *text = ::SysAllocString(L"terminal simulator 1.0");
    return *text ? S_OK : E_OUTOFMEMORY;
}

HRESULT TerminalControl::ConnectTerminal(BSTR address, LONG port, VARIANT_BOOL* connected) {
    if (!connected) return E_POINTER;
    return qv::win::com::ComEntry(IID_ITerminalControl, "zkemkeeperCtl.CZKEM", [&] {
        const std::string text = address ? qv::win::Narrow(std::wstring_view(address, ::SysStringLen(address))) : "";
        *connected = AsVariantBool(link_.Connect(text, port, ConnectTimeoutMs()));
    });
}

HRESULT TerminalControl::DisconnectTerminal() {
    link_.Disconnect();
    return S_OK;
}

HRESULT TerminalControl::get_Linked(VARIANT_BOOL* linked) {
    if (!linked) return E_POINTER;
    *linked = AsVariantBool(link_.IsOpen());
    return S_OK;
}

HRESULT TerminalControl::ProbeTerminal(LONG machineNumber, BSTR* answer, VARIANT_BOOL* answered) {
    if (!answered) return E_POINTER;
    return qv::win::com::ComEntry(IID_ITerminalControl, "zkemkeeperCtl.CZKEM", [&] {
        std::string text;
        const bool ok = link_.Probe(machineNumber, ProbeTimeoutMs(), text);
        if (ok && answer) {
            ::SysFreeString(*answer);
            *answer = qv::win::Bstr(text).Detach();
        }
        *answered = AsVariantBool(ok);
        if (link_.HasNotifications()) ::PostMessageW(window_.Handle(), kFlushMessage, 0, 0);
    });
}

HRESULT TerminalControl::GetClassInfo(ITypeInfo** out) { return qv::win::com::ProvideClassInfo(CLSID_CZKEM, out); }

HRESULT TerminalControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
    return qv::win::com::EnumConnectionPointsOf({&events_}, out);
}

HRESULT TerminalControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    return qv::win::com::FindConnectionPointIn({&events_}, iid, out);
}

void TerminalControl::OnSocketMessage(UINT message) {
    if (message == kSocketMessage) link_.ReadAvailable();
    FireNotifications();
}

void TerminalControl::FireNotifications() {
    // A sink may release this object while it is called: keep it alive until done.
    const qv::win::ComPtr<ITerminalControl> self(this);
    for (long terminal : link_.TakeNotifications()) {
        qv::win::Variant argument = qv::win::Variant::FromLong(terminal);
        events_.Fire(kNotificationId, {argument.Get()});
    }
}

}  // namespace zkem

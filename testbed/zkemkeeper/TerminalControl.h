#pragma once
// The control class "zkemkeeperCtl.CZKEM": one link to one simulated terminal
// (testbed/terminal-sim), called through its dual interface (IDispatch by
// identifier or the vtable), firing the notification to advised sinks on the
// thread that made it (socket messages go to a hidden window of that thread).
//
// How tests use it:
// - Register: `wine regsvr32 /s zkemkeeper.dll` (HKEY_CLASSES_ROOT: class,
//   ProgIDs "zkemkeeperCtl.CZKEM" and "zkemkeeperCtl.CZKEM.1", type library);
//   `regsvr32 /u /s` removes it all. Apartment-threaded.
// - Identifiers: 39 connect(address text, port long) -> Boolean (TCP connect
//   and handshake; false for an empty or unknown address or a port outside
//   1..65535), 40 disconnect, 44 probe(machine number long, text by reference)
//   -> Boolean (the text gets the terminal's answer "TERMINAL <i> MACHINE <n>").
//   The source interface _ITerminalEvents has 27 events; the 20th (position 19,
//   identifier 1020, OnTerminalNotice(long terminal)) is the notification.
//   The other events are never fired. IProvideClassInfo gives the coclass.
// - Time-outs, read from the environment at each call (see Timeouts.h):
//   ZKEM_CONNECT_TIMEOUT_MS and ZKEM_PROBE_TIMEOUT_MS, default 1000 each. A
//   silent terminal makes a probe return false after its time-out; a stopped
//   one makes it return false at once (its connection is closed).
// - Notifications are read when the thread's messages are processed, or during
//   a call, and then fired from the message loop: a client sees them only
//   while it dispatches messages.
#include "common/win32/com/ConnectionPoint.h"
#include "ControlWindow.h"
#include "common/win32/com/DispatchObject.h"
#include "TerminalLink.h"
#include "zkemkeeper_h.h"

namespace zkem {

class TerminalControl final : public qv::win::com::DispatchObject<TerminalControl, ITerminalControl, IProvideClassInfo,
                                                                  IConnectionPointContainer> {
public:
    static constexpr qv::win::com::InterfaceEntry<TerminalControl> kInterfaces[] = {
        qv::win::com::Expose<TerminalControl, ITerminalControl>(IID_ITerminalControl),
        qv::win::com::Expose<TerminalControl, IDispatch>(IID_IDispatch),
        qv::win::com::Expose<TerminalControl, IProvideClassInfo>(IID_IProvideClassInfo),
        qv::win::com::Expose<TerminalControl, IConnectionPointContainer>(IID_IConnectionPointContainer)};
    static qv::win::ComPtr<ITypeInfo> DispatchTypeInfo();

    TerminalControl();
    ~TerminalControl() override;

    HRESULT STDMETHODCALLTYPE SimulatorVersion(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE ConnectTerminal(BSTR address, LONG port, VARIANT_BOOL* connected) override;
    HRESULT STDMETHODCALLTYPE DisconnectTerminal() override;
    HRESULT STDMETHODCALLTYPE get_Linked(VARIANT_BOOL* linked) override;
    HRESULT STDMETHODCALLTYPE ProbeTerminal(LONG machineNumber, BSTR* answer, VARIANT_BOOL* answered) override;

    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

private:
    void OnSocketMessage(UINT message);
    void FireNotifications();

    qv::win::com::ModuleReference module_;
    ControlWindow window_;
    TerminalLink link_;
    qv::win::com::ConnectionPoint events_{*static_cast<ITerminalControl*>(this), DIID__ITerminalEvents};
};

}  // namespace zkem

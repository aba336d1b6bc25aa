#pragma once
// The form's connectivity monitor: created by ProgID like any client of it
// would, told the terminals, started, and its two events passed on as
// (restored, position). Everything goes through IDispatch by dispatch
// identifier, so the stand-in needs nothing from the monitor's build.
#include <functional>
#include <string>

#include "common/win32/ComPtr.h"
#include "TerminalSetting.h"
#include "common/win32/WindowsApi.h"
#include <ocidl.h>

namespace testbed {

class TerminalMonitor {
public:
    using EventHandler = std::function<void(bool restored, long position)>;

    TerminalMonitor() = default;
    ~TerminalMonitor() { Stop(); }
    TerminalMonitor(const TerminalMonitor&) = delete;
    TerminalMonitor& operator=(const TerminalMonitor&) = delete;

    // Creates the monitor, advises the handler, SetCZKEMs, StartCheck. On
    // failure the monitor is released again and `error` holds its description.
    HRESULT Start(const TerminalSetting& setting, EventHandler handler, std::string& error);
    // One poll at once (m_oTimer_Timer).
    HRESULT Poll();
    // EndCheck, then lets go of the monitor, which ends its process.
    void Stop();
    bool Running() const noexcept { return static_cast<bool>(m_monitor); }

private:
    qv::win::ComPtr<IDispatch> m_monitor;
    qv::win::ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

}  // namespace testbed

#pragma once
// The monitor object's rules: terminal lists, the connected and need-check
// flags per terminal, the poll, and the client's calls. Failures are thrown as
// qv::AppError (number and description) for the COM layer to return.
#include <string>
#include <vector>

#include "MonitorPorts.h"

namespace monitor {

class clsCheckCommunicate {
public:
    clsCheckCommunicate(ITerminalSdk& sdk, IPollTimer& timer, IMessagePump& pump, IMonitorEvents& events);

    void SetCZKEMs(const std::string& strIPs, const std::string& strPorts);
    void StartCheck();
    void EndCheck();
    // One poll; the timer's tick runs the same.
    void m_oTimer_Timer();
    void SetMachineStatus(int nIndex, bool bOK);
    // The SDK instance at position i raised its notification event.
    void OnTerminalNotification(int i);

    // Flags of position i (1-based); for the tests and the Windows layer.
    int TerminalCount() const noexcept { return static_cast<int>(m_bConnected.size()); }
    bool IsConnected(int i) const { return m_bConnected.at(i - 1); }
    bool NeedsCheck(int i) const { return m_bNeedCheck.at(i - 1); }

private:
    long PortOf(int i) const;
    const std::string& AddressOf(int i) const;
    void PollTerminal(int i);
    bool ProbeSurvivingErrors(int i);
    bool ConnectSurvivingErrors(int i, const std::string& address, long port);

    ITerminalSdk& m_oSdk;
    IPollTimer& m_oTimer;
    IMessagePump& m_oPump;
    IMonitorEvents& m_oEvents;
    std::vector<std::string> m_vIPs;
    std::vector<std::string> m_vPorts;
    // Position i lives at index i-1.
    std::vector<bool> m_bConnected;
    std::vector<bool> m_bNeedCheck;
};

}  // namespace monitor

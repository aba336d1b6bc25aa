#include "clsCheckCommunicate.h"

#include <exception>

#include "common/AppError.h"
#include "ListText.h"

namespace monitor {

namespace {

qv::AppError SubscriptOutOfRange() { return qv::AppError(qv::errnum::SubscriptOutOfRange, "下标越界"); }

}  // namespace

clsCheckCommunicate::clsCheckCommunicate(ITerminalSdk& sdk, IPollTimer& timer, IMessagePump& pump,
                                         IMonitorEvents& events)
    : m_oSdk(sdk), m_oTimer(timer), m_oPump(pump), m_oEvents(events) {
    m_oTimer.SetEnabled(false);
}

void clsCheckCommunicate::SetCZKEMs(const std::string& strIPs, const std::string& strPorts) {
    m_vIPs = SplitList(strIPs);
    m_vPorts = SplitList(strPorts);
    const int n = static_cast<int>(m_vIPs.size());
    for (int i = 1; i <= n; ++i) {
        m_oSdk.Create(i);  // a second call fails here, after the lists were replaced
        m_bConnected.resize(i, false);
        m_bNeedCheck.resize(i, false);
        m_bNeedCheck[i - 1] = true;
    }
}

const std::string& clsCheckCommunicate::AddressOf(int i) const {
    if (i < 1 || i > static_cast<int>(m_vIPs.size())) {
        throw SubscriptOutOfRange();
    }
    return m_vIPs[i - 1];
}

long clsCheckCommunicate::PortOf(int i) const {
    if (i < 1 || i > static_cast<int>(m_vPorts.size())) {
        throw SubscriptOutOfRange();
    }
    return PortNumber(m_vPorts[i - 1]);
}

void clsCheckCommunicate::StartCheck() {
    if (m_bConnected.empty()) {
        throw SubscriptOutOfRange();
    }
    for (int i = 1; i <= TerminalCount(); ++i) {
        const std::string& address = AddressOf(i);
        const long port = PortOf(i);
        m_bConnected[i - 1] = m_oSdk.Connect(i, address, port);
    }
    m_oTimer.SetEnabled(true);
}

void clsCheckCommunicate::EndCheck() { m_oTimer.SetEnabled(false); }

void clsCheckCommunicate::m_oTimer_Timer() {
    if (m_bConnected.empty()) {
        throw SubscriptOutOfRange();
    }
    const int n = TerminalCount();
    for (int i = 1; i <= n; ++i) {
        PollTerminal(i);
    }
}

void clsCheckCommunicate::PollTerminal(int i) {
    if (m_bNeedCheck[i - 1]) {
        if (m_bConnected[i - 1]) {
            if (!ProbeSurvivingErrors(i)) {
                // Notifications already queued may show the terminal is alive after all.
                m_oPump.ProcessPendingMessages();
                if (m_bNeedCheck[i - 1]) {
                    m_bConnected[i - 1] = false;
                    m_oEvents.OnDisconnect(i);
                } else {
                    m_bConnected[i - 1] = true;
                }
            }
        } else {
            const std::string& address = AddressOf(i);
            const long port = PortOf(i);
            if (ConnectSurvivingErrors(i, address, port)) {
                m_bConnected[i - 1] = true;
                m_oEvents.OnConnectRestore(i);
            }
        }
    }
    m_bNeedCheck[i - 1] = true;
}

// An SDK call that raises an error instead of answering false must not stop
// the poll (nor, from a timer tick, the server): it counts as false.
bool clsCheckCommunicate::ProbeSurvivingErrors(int i) {
    try {
        return m_oSdk.Probe(i);
    } catch (const std::exception&) {
        return false;
    }
}

bool clsCheckCommunicate::ConnectSurvivingErrors(int i, const std::string& address, long port) {
    try {
        return m_oSdk.Connect(i, address, port);
    } catch (const std::exception&) {
        return false;
    }
}

void clsCheckCommunicate::SetMachineStatus(int nIndex, bool bOK) {
    if (nIndex < 1 || nIndex > TerminalCount()) {
        throw SubscriptOutOfRange();
    }
    if (bOK) {
        const std::string& address = AddressOf(nIndex);
        const long port = PortOf(nIndex);
        m_oSdk.Connect(nIndex, address, port);
    } else {
        m_oSdk.Disconnect(nIndex);
    }
    m_bConnected[nIndex - 1] = bOK;
}

void clsCheckCommunicate::OnTerminalNotification(int i) {
    if (i >= 1 && i <= static_cast<int>(m_bNeedCheck.size())) {
        m_bNeedCheck[i - 1] = false;
    }
}

}  // namespace monitor

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
    : sdk_(sdk), timer_(timer), pump_(pump), events_(events) {
    timer_.SetEnabled(false);
}

void clsCheckCommunicate::SetCZKEMs(const std::string& strIPs, const std::string& strPorts) {
    m_vIPs = SplitList(strIPs);
    m_vPorts = SplitList(strPorts);
    const int n = static_cast<int>(m_vIPs.size());
    for (int i = 1; i <= n; ++i) {
        sdk_.Create(i);  // a second call fails here, after the lists were replaced
        g_bConnected.resize(i, false);
        g_bNeedCheck.resize(i, false);
        g_bNeedCheck[i - 1] = true;
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
    if (g_bConnected.empty()) {
        throw SubscriptOutOfRange();
    }
    for (int i = 1; i <= TerminalCount(); ++i) {
        const std::string& address = AddressOf(i);
        const long port = PortOf(i);
        g_bConnected[i - 1] = sdk_.Connect(i, address, port);
    }
    timer_.SetEnabled(true);
}

void clsCheckCommunicate::EndCheck() { timer_.SetEnabled(false); }

void clsCheckCommunicate::m_oTimer_Timer() {
    if (g_bConnected.empty()) {
        throw SubscriptOutOfRange();
    }
    const int n = TerminalCount();
    for (int i = 1; i <= n; ++i) {
        PollTerminal(i);
    }
}

void clsCheckCommunicate::PollTerminal(int i) {
    if (g_bNeedCheck[i - 1]) {
        if (g_bConnected[i - 1]) {
            if (!ProbeSurvivingErrors(i)) {
                // Notifications already queued may show the terminal is alive after all.
                pump_.ProcessPendingMessages();
                if (g_bNeedCheck[i - 1]) {
                    g_bConnected[i - 1] = false;
                    events_.OnDisconnect(i);
                } else {
                    g_bConnected[i - 1] = true;
                }
            }
        } else {
            const std::string& address = AddressOf(i);
            const long port = PortOf(i);
            if (ConnectSurvivingErrors(i, address, port)) {
                g_bConnected[i - 1] = true;
                events_.OnConnectRestore(i);
            }
        }
    }
    g_bNeedCheck[i - 1] = true;
}

// An SDK call that raises an error instead of answering false must not stop
// the poll (nor, from a timer tick, the server): it counts as false.
bool clsCheckCommunicate::ProbeSurvivingErrors(int i) {
    try {
        return sdk_.Probe(i);
    } catch (const std::exception&) {
        return false;
    }
}

bool clsCheckCommunicate::ConnectSurvivingErrors(int i, const std::string& address, long port) {
    try {
        return sdk_.Connect(i, address, port);
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
        sdk_.Connect(nIndex, address, port);
    } else {
        sdk_.Disconnect(nIndex);
    }
    g_bConnected[nIndex - 1] = bOK;
}

void clsCheckCommunicate::OnTerminalNotification(int i) {
    if (i >= 1 && i <= static_cast<int>(g_bNeedCheck.size())) {
        g_bNeedCheck[i - 1] = false;
    }
}

}  // namespace monitor

#pragma once
// What the monitor's core needs from its surroundings. Terminal positions are
// 1-based, as the events carry them.
#include <string>

namespace monitor {

// One SDK control instance per terminal position.
class ITerminalSdk {
public:
    virtual ~ITerminalSdk() = default;
    // Makes the instance for position i; fails (throws qv::AppError) when it exists.
    virtual void Create(int i) = 0;
    virtual bool Connect(int i, const std::string& address, long port) = 0;
    virtual void Disconnect(int i) = 0;
    virtual bool Probe(int i) = 0;
};

class IPollTimer {
public:
    virtual ~IPollTimer() = default;
    virtual void SetEnabled(bool enabled) = 0;
};

// Delivers the window messages already queued (SDK notifications, client calls).
class IMessagePump {
public:
    virtual ~IMessagePump() = default;
    virtual void ProcessPendingMessages() = 0;
};

class IMonitorEvents {
public:
    virtual ~IMonitorEvents() = default;
    virtual void OnDisconnect(long lMachineNo) = 0;
    virtual void OnConnectRestore(long lMachineNo) = 0;
};

}  // namespace monitor

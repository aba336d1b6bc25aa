#pragma once
// The terminal SDK on Windows: one control instance per terminal, created by
// ProgID and called through IDispatch by dispatch identifier; its event
// interface is advised so that the notification (the event at position 19)
// reaches the monitor with the terminal's position.
#include <functional>
#include <map>

#include "common/win32/ComPtr.h"
#include "monitor/MonitorPorts.h"
#include "common/win32/WindowsApi.h"
#include <ocidl.h>

namespace monitor::win {

class ZkemTerminals final : public ITerminalSdk {
public:
    static constexpr DISPID kConnectNet = 39;
    static constexpr DISPID kDisconnect = 40;
    static constexpr DISPID kProbe = 44;
    static constexpr UINT kNotificationPosition = 19;

    explicit ZkemTerminals(std::function<void(int)> onNotification);
    ~ZkemTerminals() override;
    ZkemTerminals(const ZkemTerminals&) = delete;
    ZkemTerminals& operator=(const ZkemTerminals&) = delete;

    void Create(int i) override;
    bool Connect(int i, const std::string& address, long port) override;
    void Disconnect(int i) override;
    bool Probe(int i) override;
    // Unadvises and releases every instance, ignoring errors.
    void ReleaseAll() noexcept;

private:
    struct Instance {
        qv::win::ComPtr<IDispatch> control;
        qv::win::ComPtr<IConnectionPoint> point;
        DWORD cookie = 0;
    };
    IDispatch& ControlOf(int i);

    std::function<void(int)> onNotification_;
    std::map<int, Instance> instances_;
};

}  // namespace monitor::win

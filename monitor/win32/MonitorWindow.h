#pragma once
// The monitor object's hidden window: it carries the 60000 ms poll timer and
// processes pending messages for the poll. Lives on the object's thread.
#include <functional>

#include "monitor/MonitorPorts.h"
#include "common/win32/WindowsApi.h"

namespace monitor::win {

class MonitorWindow final : public IPollTimer, public IMessagePump {
public:
    static constexpr UINT kIntervalMs = 60000;

    explicit MonitorWindow(std::function<void()> onTick);
    ~MonitorWindow() override;
    MonitorWindow(const MonitorWindow&) = delete;
    MonitorWindow& operator=(const MonitorWindow&) = delete;

    void SetEnabled(bool enabled) override;
    void ProcessPendingMessages() override;
    HWND Handle() const noexcept { return window_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> onTick_;
    HWND window_ = nullptr;
};

}  // namespace monitor::win

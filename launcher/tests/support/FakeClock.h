#pragma once
// A clock under the test's control: the tick stays where it is set, and Sleep
// records the request and moves the tick on by it (wrapping like the real one).
#include <cstdint>
#include <vector>

#include "launcher/Platform.h"

namespace launcher {

class FakeClock : public IClock {
public:
    explicit FakeClock(std::uint32_t tick = 0) : tick_(tick) {}

    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;

    void SetTick(std::uint32_t tick) { tick_ = tick; }
    void Advance(std::uint32_t milliseconds) { tick_ += milliseconds; }
    std::uint32_t Tick() const { return tick_; }

    const std::vector<std::uint32_t>& Sleeps() const { return sleeps_; }
    int TickReads() const { return tickReads_; }

private:
    std::uint32_t tick_;
    std::vector<std::uint32_t> sleeps_;
    int tickReads_ = 0;
};

}  // namespace launcher

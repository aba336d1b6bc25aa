#include "FakeClock.h"

namespace launcher {

std::uint32_t FakeClock::TickCount() {
    ++tickReads_;
    return tick_;
}

void FakeClock::Sleep(std::uint32_t milliseconds) {
    sleeps_.push_back(milliseconds);
    Advance(milliseconds);
}

}  // namespace launcher

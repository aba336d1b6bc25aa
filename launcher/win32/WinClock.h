#pragma once
// The system's millisecond tick and a blocking pause.
#include "launcher/Platform.h"

namespace launcher::win {

class WinClock final : public IClock {
public:
    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace launcher::win

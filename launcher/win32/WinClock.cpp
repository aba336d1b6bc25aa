#include "WinClock.h"

#include "common/win32/WindowsApi.h"

namespace launcher::win {

std::uint32_t WinClock::TickCount() { return GetTickCount(); }

void WinClock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace launcher::win

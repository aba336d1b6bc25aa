#pragma once
// Which attendance terminals the stand-in watches, from QV_TERMINALS:
// "<addresses>;<ports>", each list ","-separated as the monitor's SetCZKEMs
// takes them, e.g. "127.0.0.1,127.0.0.1;4370,4371". Unset, empty, or without
// the ";" means no terminals and so no monitor. The lists go to the monitor
// unchanged: it is the monitor's business to refuse what it cannot use.
#include <optional>
#include <string>
#include <string_view>

namespace testbed {

struct TerminalSetting {
    std::string addresses;
    std::string ports;
};

std::optional<TerminalSetting> ParseTerminalSetting(std::optional<std::string_view> text);

// QV_MONITOR_POLL_MS: when a whole number above 0, the form makes the monitor
// poll that often instead of waiting for its own minute.
std::optional<int> PollMilliseconds(std::optional<std::string_view> text);

// The address of terminal `position` (from 1, as the monitor's events number
// them); "?" when the list has no such entry.
std::string TerminalAddress(std::string_view addresses, long position);

// A line of the form's event list: "<hh:mm:ss> 断开 <address>" for a terminal
// that dropped off, "... 恢复 ..." for one that came back.
std::string MonitorEventLine(std::string_view time, bool restored, std::string_view address);

}  // namespace testbed

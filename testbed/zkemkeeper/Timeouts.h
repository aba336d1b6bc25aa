#pragma once
// Time-outs of the control's calls, from the environment of the process that
// loads it (tests shorten or lengthen them), in milliseconds:
//   ZKEM_CONNECT_TIMEOUT_MS  connect and handshake (default 1000)
//   ZKEM_PROBE_TIMEOUT_MS    answer to a probe (default 1000)
#include <string_view>

namespace zkem {

inline constexpr int kDefaultTimeoutMs = 1000;

// `text` as a whole number from 1 to 600000, else `fallback`.
int TimeoutFromText(std::wstring_view text, int fallback);

int ConnectTimeoutMs();
int ProbeTimeoutMs();

}  // namespace zkem

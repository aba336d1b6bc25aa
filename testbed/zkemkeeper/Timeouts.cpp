#include "Timeouts.h"

#include "common/win32/WindowsApi.h"

namespace zkem {
namespace {

int FromEnvironment(const wchar_t* name) {
    wchar_t text[32] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, text, 32);
    if (length == 0 || length >= 32) return kDefaultTimeoutMs;
    return TimeoutFromText(std::wstring_view(text, length), kDefaultTimeoutMs);
}

}  // namespace

int TimeoutFromText(std::wstring_view text, int fallback) {
    if (text.empty() || text.size() > 6) return fallback;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return fallback;
        value = value * 10 + (c - L'0');
    }
    return value >= 1 && value <= 600000 ? value : fallback;
}

int ConnectTimeoutMs() { return FromEnvironment(L"ZKEM_CONNECT_TIMEOUT_MS"); }
int ProbeTimeoutMs() { return FromEnvironment(L"ZKEM_PROBE_TIMEOUT_MS"); }

}  // namespace zkem

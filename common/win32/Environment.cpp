#include "Environment.h"

#include "WindowsApi.h"

namespace qv::win {

std::optional<std::wstring> EnvironmentText(const wchar_t* name) {
    std::wstring value(64, L'\0');
    // The variable may grow between the calls, so the size is asked again; a few rounds suffice.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) return std::nullopt;
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
    return std::nullopt;
}

}  // namespace qv::win

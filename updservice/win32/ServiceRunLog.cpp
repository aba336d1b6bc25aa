#include "ServiceRunLog.h"

#include "common/win32/WindowsApi.h"

namespace updservice::win {

void ServiceRunLog::Write(std::string_view event) noexcept {
    try {
        log_.Write("[" + std::to_string(GetCurrentProcessId()) +
                   "] update: " + launcher::LogEventText(event, secrets_));
    } catch (...) {
        // The log is best effort; the update goes on without this line.
    }
}

void ServiceRunLog::Conceal(std::string_view secret) noexcept {
    try {
        if (!secret.empty()) secrets_.emplace_back(secret);
    } catch (...) {}
}

}  // namespace updservice::win

#include "Lifetime.h"

#include <charconv>
#include <system_error>

namespace testbed {

int LifetimeSeconds(std::optional<std::string_view> setting) {
    if (!setting) {
        return kDefaultLifetimeSeconds;
    }
    int seconds = 0;
    const char* end = setting->data() + setting->size();
    const auto [stop, error] = std::from_chars(setting->data(), end, seconds);
    if (error != std::errc{} || stop != end || seconds <= 0) {
        return kDefaultLifetimeSeconds;
    }
    return seconds;
}

}  // namespace testbed

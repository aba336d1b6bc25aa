#pragma once
#include <optional>
#include <string_view>

namespace testbed {

inline constexpr int kDefaultLifetimeSeconds = 120;

// The stand-in's lifetime from the text of QV_STANDIN_LIFETIME: a whole number
// of seconds above 0 in plain digits; anything else (unset, empty, a sign,
// other characters) gives the default.
int LifetimeSeconds(std::optional<std::string_view> setting);

}  // namespace testbed

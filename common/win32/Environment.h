#pragma once
// Reading the process's environment.
#include <optional>
#include <string>

namespace qv::win {

// The variable's text, however long; unset and empty both read as no value.
std::optional<std::wstring> EnvironmentText(const wchar_t* name);

}  // namespace qv::win

#pragma once
// The launcher's process exit status: one number per way a run can end, so
// that a deployment script or a scheduled task can tell them apart. The
// numbers are published; never change or reuse one.
#include <optional>
#include <string_view>

#include "modMain.h"

namespace launcher {

int ExitStatus(MainEnd end);

// A short name of the end for the log ("main client started").
std::string_view EndName(MainEnd end);

// The end that a non-zero exit status stands for; nullopt for 0 or an unknown number.
std::optional<MainEnd> EndOfFailureStatus(int status);

}  // namespace launcher

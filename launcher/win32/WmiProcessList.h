#pragma once
// The running processes as Windows Management Instrumentation lists them,
// through its scripting objects (moniker "WinMgmts:", class "Win32_Process").
// The caller must have initialised COM on the calling thread (CoInitializeEx);
// the launcher does so once at start-up.
#include <functional>
#include <string>

namespace launcher::win {

// Hands the `Description` of each process to `matches`, in the order the
// service lists them, until it answers true. True only then; false when no
// process matched or the list could not be read. A process without a
// description (Null) is passed over. Descriptions arrive as UTF-8.
bool AnyProcessDescription(const std::function<bool(const std::string&)>& matches);

}  // namespace launcher::win

#pragma once
// qvlUpdateService.exe as a Windows service (own process): the service
// control dispatcher, the control handler (stop, shutdown) and the status
// reports around the pipe server.
namespace updservice::win {

inline constexpr const wchar_t* kServiceName = L"qvlUpdateService";

// Runs the service until the service manager stops it; the exit code for the
// process. Started by hand (not by the service manager) it says so and ends.
int RunServiceProgram();

}  // namespace updservice::win

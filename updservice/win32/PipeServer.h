#pragma once
// The service's pipe \\.\pipe\qvlUpdateService: message mode, local clients
// only (PIPE_REJECT_REMOTE_CLIENTS), the security of kPipeSddl. The first
// instance is created with FILE_FLAG_FIRST_PIPE_INSTANCE, so the service
// fails to start rather than share the name with a pipe someone else made.
// Each connection is served on a thread of its own, at most kMaxConnections
// at once; more are answered "busy" and closed.
#include <string>

#include "ConnectionHandler.h"

namespace updservice::win {

inline constexpr const wchar_t* kPipeName = L"\\\\.\\pipe\\qvlUpdateService";
inline constexpr int kMaxConnections = 8;

class PipeServer {
public:
    PipeServer(UpdateDesk& desk, ServiceLog& log, HANDLE stop);

    // Serves until `stop` is signalled; then cancels running updates and
    // waits for their connections up to `drainMs`. False with the reason when
    // the pipe cannot be made.
    bool Run(std::string& error, DWORD drainMs = 20000);

private:
    UpdateDesk& desk_;
    ServiceLog& log_;
    HANDLE stop_;
};

}  // namespace updservice::win

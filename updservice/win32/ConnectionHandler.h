#pragma once
// One client of the service's pipe, from its first message to the end of the
// connection. The first message must arrive within a time limit; while the
// update runs, a cancel record from the client cancels it, and a client that
// goes away leaves the update running to its end. The result is the last
// record; the pipe is then closed once the client has closed its end (or
// after a time limit).
#include "ServiceLog.h"
#include "common/win32/UniqueHandle.h"
#include "updservice/UpdateDesk.h"

namespace updservice::win {

struct ServiceLimits {
    DWORD firstMessageMs = 10000;
    DWORD writeMs = 5000;
    DWORD clientCloseMs = 5000;
    DWORD pollMs = 500;  // how often a wait looks at the service's stop event
};

void ServeConnection(qv::win::UniqueHandle pipe, UpdateDesk& desk, HANDLE stop, ServiceLog& log,
                     const ServiceLimits& limits = {});

// The result record written straight to a connection that is not served
// (too many at once); then the pipe is closed.
void TurnAway(qv::win::UniqueHandle pipe, const ResultRecord& result, ServiceLog& log,
              const ServiceLimits& limits = {});

}  // namespace updservice::win

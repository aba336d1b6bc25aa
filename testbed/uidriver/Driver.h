#pragma once
#include "DriverOptions.h"
#include "EventLog.h"

namespace testbed {

// Looks at the screen every 50 ms, recording and answering message boxes and
// recording the watched windows, until the timeout or until the stop file
// exists; then records {"kind":"end","reason":"timeout"|"stop"}.
void RunDriver(const DriverOptions& options, EventLog& log);

}  // namespace testbed

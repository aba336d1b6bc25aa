#pragma once
// Where the driver's JSON lines go: a file (UTF-8, replaced at start) or
// standard output. Lines are written unbuffered, one write each, so that a
// test can read them while the driver runs.
#include <string>
#include <string_view>

#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace testbed {

class EventLog {
public:
    // An empty name means standard output. False when the file cannot be made.
    bool Open(const std::string& fileName);
    void Write(std::string_view line);

private:
    qv::win::UniqueHandle m_file;
    HANDLE m_output = nullptr;
};

}  // namespace testbed

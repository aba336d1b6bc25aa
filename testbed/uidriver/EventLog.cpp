#include "EventLog.h"

#include "common/win32/TextConvert.h"

namespace testbed {

bool EventLog::Open(const std::string& fileName) {
    if (fileName.empty()) {
        m_output = GetStdHandle(STD_OUTPUT_HANDLE);
        return true;
    }
    m_file.Reset(CreateFileW(qv::win::Widen(fileName).c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    m_output = m_file.Get();
    return static_cast<bool>(m_file);
}

void EventLog::Write(std::string_view line) {
    const std::string bytes = std::string(line) + "\n";
    DWORD written = 0;
    WriteFile(m_output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace testbed

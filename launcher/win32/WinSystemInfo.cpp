#include "WinSystemInfo.h"

#include <vector>

#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"

namespace launcher::win {

std::string WinSystemInfo::SystemDirectory() {
    std::vector<char> buffer(200);
    UINT length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        // Too small: the answer is the size needed, terminator included.
        buffer.resize(length);
        length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length >= buffer.size()) {
            return {};
        }
    }
    // Converted before the check: in a double-byte code page a backslash byte can be the
    // second byte of a character.
    std::string folder = qv::win::FromAnsi(std::string_view(buffer.data(), length));
    if (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    return folder;
}

}  // namespace launcher::win

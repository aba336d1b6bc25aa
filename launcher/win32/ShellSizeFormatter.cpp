#include "ShellSizeFormatter.h"

#include "common/win32/WindowsApi.h"

#include <shlwapi.h>

#include "common/win32/TextConvert.h"

namespace launcher::win {

std::string ShellSizeFormatter::FormatByteSize(std::int64_t bytes) {
    char buffer[128] = {};
    // The ANSI form takes a 32-bit count; larger archives go through the 64-bit form.
    const bool ok = bytes >= 0 && bytes <= 0xFFFFFFFFLL
                        ? StrFormatByteSizeA(static_cast<DWORD>(bytes), buffer, sizeof buffer) != nullptr
                        : StrFormatByteSize64A(bytes, buffer, sizeof buffer) != nullptr;
    if (!ok) return {};
    return qv::win::FromAnsi(buffer);
}

}  // namespace launcher::win

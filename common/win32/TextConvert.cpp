#include "TextConvert.h"

#include <climits>
#include <cstdio>
#include <stdexcept>

namespace qv::win {
namespace {

int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error("text too long for conversion");
    }
    return static_cast<int>(size);
}

std::wstring ToUtf16(UINT codePage, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = CheckedLength(text.size());
    const int units = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(units), L'\0');
    if (units > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), length, result.data(), units);
    }
    return result;
}

std::string FromUtf16(UINT codePage, std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = CheckedLength(text.size());
    const int bytes = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(codePage, 0, text.data(), length, result.data(), bytes, nullptr, nullptr);
    }
    return result;
}

std::string CodeText(DWORD code) {
    // Win32 codes read best in decimal, HRESULTs in hexadecimal.
    char buffer[32];
    if (code <= 0xFFFF) {
        std::snprintf(buffer, sizeof buffer, "%lu", static_cast<unsigned long>(code));
    } else {
        std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(code));
    }
    return buffer;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return ToUtf16(CP_UTF8, utf8); }

std::string Narrow(std::wstring_view utf16) { return FromUtf16(CP_UTF8, utf16); }

std::string ToAnsi(std::string_view utf8) { return FromUtf16(CP_ACP, Widen(utf8)); }

std::string FromAnsi(std::string_view ansi) { return Narrow(ToUtf16(CP_ACP, ansi)); }

std::string LastErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring_view text(buffer, buffer ? length : 0);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.' || text.back() == L'\x3002')) {
        text.remove_suffix(1);
    }
    std::string result = Narrow(text);
    LocalFree(buffer);
    if (result.empty()) {
        return "系统错误 " + CodeText(code);
    }
    return result;
}

}  // namespace qv::win

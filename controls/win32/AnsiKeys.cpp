#include "AnsiKeys.h"

namespace controls::win {

std::int16_t KeyAsciiFromWideChar(wchar_t character) {
    char bytes[4] = {};
    BOOL lossy = FALSE;
    const int count = WideCharToMultiByte(CP_ACP, 0, &character, 1, bytes, sizeof bytes, nullptr, &lossy);
    if (count <= 0 || lossy) return 0;
    if (count == 1) return static_cast<std::int16_t>(static_cast<unsigned char>(bytes[0]));
    const unsigned code = (static_cast<unsigned char>(bytes[0]) << 8) | static_cast<unsigned char>(bytes[1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(code));
}

wchar_t WideCharFromKeyAscii(std::int16_t keyAscii) {
    const auto code = static_cast<std::uint16_t>(keyAscii);
    char bytes[2];
    int length = 0;
    if (code > 0xFF) {
        bytes[length++] = static_cast<char>(code >> 8);
    }
    bytes[length++] = static_cast<char>(code & 0xFF);
    wchar_t character = 0;
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, length, &character, 1) != 1) return 0;
    return character;
}

namespace {

void AppendOneByOne(const wchar_t* run, std::size_t length, AnsiText& result) {
    for (std::size_t i = 0; i < length; ++i) {
        const std::int16_t code = KeyAsciiFromWideChar(run[i]);
        result.push_back(code != 0 ? code : static_cast<std::int16_t>('?'));
    }
}

// A run of non-ASCII characters in one conversion call: a box of 32 767
// characters is read for every key, and a call per character costs
// milliseconds. Runs that do not convert one character to one code go
// character by character.
void AppendRun(const wchar_t* run, std::size_t length, AnsiText& result) {
    std::string bytes(2 * length, '\0');
    BOOL lossy = FALSE;
    const int count = WideCharToMultiByte(CP_ACP, 0, run, static_cast<int>(length), bytes.data(),
                                          static_cast<int>(bytes.size()), nullptr, &lossy);
    const std::size_t before = result.size();
    for (int i = 0; !lossy && i < count; ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (IsDBCSLeadByte(lead) && i + 1 < count) {
            const auto trail = static_cast<unsigned char>(bytes[++i]);
            result.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>((lead << 8) | trail)));
        } else {
            result.push_back(static_cast<std::int16_t>(lead));
        }
    }
    if (count > 0 && !lossy && result.size() - before == length) return;
    result.resize(before);
    AppendOneByOne(run, length, result);
}

}  // namespace

AnsiText AnsiTextFromWide(const std::wstring& text) {
    AnsiText result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        // ASCII has the same codes in every ANSI code page.
        if (text[i] > 0 && text[i] < 0x80) {
            result.push_back(static_cast<std::int16_t>(text[i++]));
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !(text[end] > 0 && text[end] < 0x80)) ++end;
        AppendRun(text.data() + i, end - i, result);
        i = end;
    }
    return result;
}

}  // namespace controls::win

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

AnsiText AnsiTextFromWide(const std::wstring& text) {
    AnsiText result;
    result.reserve(text.size());
    for (wchar_t character : text) {
        const std::int16_t code = KeyAsciiFromWideChar(character);
        result.push_back(code != 0 ? code : static_cast<std::int16_t>('?'));
    }
    return result;
}

}  // namespace controls::win

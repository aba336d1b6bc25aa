#include "TextBoxView.h"

#include <algorithm>
#include <cstdlib>

namespace controls {

AnsiText AnsiFromAscii(std::string_view ascii) {
    AnsiText text;
    text.reserve(ascii.size());
    for (unsigned char c : ascii) text.push_back(static_cast<std::int16_t>(c));
    return text;
}

std::string AnsiBytes(const AnsiText& text) {
    std::size_t size = text.size();
    for (std::int16_t code : text) size += static_cast<std::uint16_t>(code) > 0xFF ? 1 : 0;
    std::string bytes(size, '\0');
    if (size == text.size()) {
        std::transform(text.begin(), text.end(), bytes.begin(),
                       [](std::int16_t code) { return static_cast<char>(code); });
        return bytes;
    }
    std::size_t at = 0;
    for (std::int16_t code : text) {
        const auto unsignedCode = static_cast<std::uint16_t>(code);
        if (unsignedCode > 0xFF) bytes[at++] = static_cast<char>(unsignedCode >> 8);
        bytes[at++] = static_cast<char>(unsignedCode & 0xFF);
    }
    return bytes;
}

}  // namespace controls

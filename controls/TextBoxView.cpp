#include "TextBoxView.h"

#include <cstdlib>

namespace controls {

AnsiText AnsiFromAscii(std::string_view ascii) {
    AnsiText text;
    text.reserve(ascii.size());
    for (unsigned char c : ascii) text.push_back(static_cast<std::int16_t>(c));
    return text;
}

std::string AnsiBytes(const AnsiText& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::int16_t code : text) {
        const auto unsignedCode = static_cast<std::uint16_t>(code);
        if (unsignedCode > 0xFF) bytes += static_cast<char>(unsignedCode >> 8);
        bytes += static_cast<char>(unsignedCode & 0xFF);
    }
    return bytes;
}

}  // namespace controls

#include "CommandWords.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "common/win32/Bstr.h"
#include "PercentText.h"

namespace control_host {
namespace {

template <class Number>
bool ReadNumber(std::string_view text, Number& number) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int base = 10;
    if constexpr (std::numeric_limits<Number>::is_integer) {
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            text.remove_prefix(2);
            base = 16;
        }
    }
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    std::from_chars_result read;
    if constexpr (std::numeric_limits<Number>::is_integer) {
        read = std::from_chars(text.data(), end, number, base);
    } else {
        read = std::from_chars(text.data(), end, number);
    }
    return read.ec == std::errc() && read.ptr == end;
}

template <class Wide, class Narrow>
bool ReadInRange(std::string_view text, Narrow& number) {
    Wide wide{};
    if (!ReadNumber(text, wide) || wide < std::numeric_limits<Narrow>::min() ||
        wide > std::numeric_limits<Narrow>::max()) {
        return false;
    }
    number = static_cast<Narrow>(wide);
    return true;
}

}  // namespace

std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r\n", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t\r\n", start), line.size());
        words.emplace_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

bool ParseTypedValue(std::string_view word, qv::win::Variant& value) {
    const std::size_t colon = word.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::string_view type = word.substr(0, colon);
    const std::string_view text = word.substr(colon + 1);
    qv::win::Variant result;
    VARIANT& raw = *result.Address();
    if (type == "i2") {
        if (!ReadInRange<long long>(text, raw.iVal)) return false;
        raw.vt = VT_I2;
    } else if (type == "i4") {
        if (!ReadInRange<long long>(text, raw.lVal)) return false;
        raw.vt = VT_I4;
    } else if (type == "color") {
        if (!ReadInRange<unsigned long long>(text, raw.ulVal)) return false;
        raw.vt = VT_UI4;
    } else if (type == "bool") {
        if (text != "0" && text != "1") return false;
        raw.boolVal = text == "1" ? VARIANT_TRUE : VARIANT_FALSE;
        raw.vt = VT_BOOL;
    } else if (type == "r8") {
        if (!ReadNumber(text, raw.dblVal)) return false;
        raw.vt = VT_R8;
    } else if (type == "r4") {
        if (!ReadNumber(text, raw.fltVal)) return false;
        raw.vt = VT_R4;
    } else if (type == "str") {
        const auto decoded = PercentDecode(text);
        if (!decoded) return false;
        result = qv::win::Variant::FromText(*decoded);
    } else {
        return false;
    }
    value = std::move(result);
    return true;
}

}  // namespace control_host

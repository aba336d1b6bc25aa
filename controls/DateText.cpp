#include "DateText.h"

#include <cstdio>

namespace controls {
namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return position_ == text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[position_]; }

    bool Take(char expected) {
        if (Peek() != expected) return false;
        ++position_;
        return true;
    }

    bool SkipBlanks() {
        const std::size_t start = position_;
        while (Peek() == ' ') ++position_;
        return position_ > start;
    }

    // A number of minDigits to maxDigits ASCII digits.
    bool Number(std::size_t minDigits, std::size_t maxDigits, int& value) {
        std::size_t count = 0;
        value = 0;
        while (count < maxDigits && Peek() >= '0' && Peek() <= '9') {
            value = value * 10 + (Peek() - '0');
            ++position_;
            ++count;
        }
        return count >= minDigits && !(Peek() >= '0' && Peek() <= '9');
    }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValid(const DateTimeValue& v) {
    return v.year >= 100 && v.month >= 1 && v.month <= 12 && v.day >= 1 && v.day <= DaysInMonth(v.year, v.month) &&
           v.hour <= 23 && v.minute <= 59 && v.second <= 59;
}

bool ReadTime(Reader& reader, DateTimeValue& value) {
    if (!reader.Number(1, 2, value.hour) || !reader.Take(':') || !reader.Number(1, 2, value.minute)) return false;
    if (reader.Take(':')) return reader.Number(1, 2, value.second);
    return true;
}

}  // namespace

bool ParseDateText(std::string_view text, DateTimeValue& value) {
    Reader reader(text);
    value = {};
    reader.SkipBlanks();
    if (!reader.Number(4, 4, value.year)) return false;
    const char separator = reader.Peek();
    if (separator != '-' && separator != '/') return false;
    reader.Take(separator);
    if (!reader.Number(1, 2, value.month) || !reader.Take(separator) || !reader.Number(1, 2, value.day)) return false;
    if (reader.SkipBlanks() && !reader.AtEnd() && !ReadTime(reader, value)) return false;
    reader.SkipBlanks();
    return reader.AtEnd() && IsValid(value);
}

std::string FormatDateText(std::string_view text, DateContent content) {
    DateTimeValue v;
    if (!ParseDateText(text, v)) return std::string(text);
    char buffer[128];
    switch (content) {
        case DateContent::DateOnly:
            std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", v.year, v.month, v.day);
            break;
        case DateContent::DateAndMinutes:
            std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d", v.year, v.month, v.day, v.hour, v.minute);
            break;
        case DateContent::DateAndSeconds:
            std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", v.year, v.month, v.day, v.hour,
                          v.minute, v.second);
            break;
    }
    return buffer;
}

}  // namespace controls

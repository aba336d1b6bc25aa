#pragma once
// The date box's three fixed layouts: the inner box's mask, the date pattern
// a Text put is formatted into, and the field length the caret may not pass.
#include <array>
#include <cstdint>
#include <string_view>

namespace controls {

enum class DateContent { DateAndMinutes, DateOnly, DateAndSeconds };

struct DateLayout {
    std::int16_t nFormat;
    std::u16string_view mask;  // "#" one digit position, anything else a fixed separator
    std::string_view pattern;
    std::int32_t fieldLength;
    DateContent content;
};

constexpr std::int16_t kInitialDateFormat = 0;
constexpr long kFormatErrorNumber = 500;
constexpr std::string_view kFormatErrorText = "格式设置错误";

const std::array<DateLayout, 3>& DateLayouts();

// nullptr for a layout number other than 0, 1 and 2.
const DateLayout* FindDateLayout(std::int16_t nFormat);

// The layout SetFormat puts in force; throws qv::AppError 500 "格式设置错误"
// for an unknown number, before anything has changed.
const DateLayout& LayoutForSetFormat(std::int16_t nFormat);

}  // namespace controls

#pragma once
// A value given to the date box's Text, brought into the layout in force.
//
// A text that reads as a date (year-month-day with "-" or "/", a four-digit
// year, one- or two-digit month and day), optionally followed by a time
// (hour:minute or hour:minute:second on a 24-hour clock), comes out in the
// layout: "2010-1-5 8:03" -> "2010-01-05 08:03" in layout 0. A missing time
// reads as 00:00:00; parts the layout has no room for are dropped, not
// rounded. Any other text, a time alone, an impossible date such as
// 2010-2-30, and the empty text, is returned unchanged: the inner box then
// takes it if it fits its mask and refuses it otherwise.
#include <string>
#include <string_view>

#include "InputDateLayouts.h"

namespace controls {

struct DateTimeValue {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Leading and trailing blanks are ignored; false when the text is not a valid date.
bool ParseDateText(std::string_view text, DateTimeValue& value);

std::string FormatDateText(std::string_view text, DateContent content);

}  // namespace controls

#pragma once
// quorvel.form: the saved form, one property bag per control. Each control's
// bag text (control-host's bag file form) follows a line "[<name>]"; bag lines
// never start with "[" since their names are percent-encoded.
#include <map>
#include <string>
#include <string_view>

namespace testbed {

// Sections in name order.
std::string JoinFormSections(const std::map<std::string, std::string>& sections);
// Text before the first header is ignored; a repeated name keeps the last.
// Line ends may be LF or CR LF; a section's text keeps LF ends.
std::map<std::string, std::string> SplitFormSections(std::string_view text);

}  // namespace testbed

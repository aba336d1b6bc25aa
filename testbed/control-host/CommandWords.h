#pragma once
// One command line split into its words, and the typed values of set and
// call: "i2:5", "i4:-1", "bool:1", "r8:100", "r4:9.5", "str:<percent text>",
// "color:<unsigned 32-bit>" (a colour travels as VT_UI4 so that system
// colours such as 0x80000005 keep their bits).
#include <string>
#include <string_view>
#include <vector>

#include "common/win32/Variant.h"

namespace control_host {

std::vector<std::string> SplitWords(std::string_view line);

// False, with `value` unchanged, for an unknown type, a malformed number or
// one outside its type's range.
bool ParseTypedValue(std::string_view word, qv::win::Variant& value);

}  // namespace control_host

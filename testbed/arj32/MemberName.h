#pragma once
#include <optional>
#include <string>

namespace arj {

// The file name a member is extracted under when folders are dropped: the part
// after the last '/' or '\'. Nothing when that cannot be a plain file name in
// the destination folder (empty, dots only, a drive or stream colon, characters
// Windows refuses, or a device name such as NUL or COM1).
std::optional<std::string> PlainMemberName(const std::string& stored);

}  // namespace arj

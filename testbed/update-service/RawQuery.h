#pragma once
// The query string of a request exactly as it was sent. The launcher puts the
// customer code into it without percent-encoding, so nothing is decoded here.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testbed {

struct QueryParam {
    std::string key;
    std::string value;
};
using QueryParams = std::vector<QueryParam>;

// The bytes after the first "?" of a request target; empty without one.
std::string_view QueryOfTarget(std::string_view target);
// The bytes before the first "?".
std::string_view PathOfTarget(std::string_view target);

// Pieces between "&", each split at its first "="; a piece without "=" is a
// key with an empty value, empty pieces are skipped.
QueryParams ParseRawQuery(std::string_view query);

// The value of the first piece with this key (case-sensitive).
std::optional<std::string_view> FindParam(const QueryParams& query, std::string_view key);

}  // namespace testbed

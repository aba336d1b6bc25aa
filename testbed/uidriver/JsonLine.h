#pragma once
// One JSON object on one line, built field by field in the order added.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace testbed {

// `text` (UTF-8) as a JSON string with its quotes. Quotes, backslashes and
// control characters are escaped; bytes that are not UTF-8 become U+FFFD.
std::string JsonQuoted(std::string_view text);

class JsonLine {
public:
    JsonLine& Text(std::string_view key, std::string_view value);
    JsonLine& Number(std::string_view key, std::int64_t value);
    JsonLine& Boolean(std::string_view key, bool value);
    JsonLine& Texts(std::string_view key, const std::vector<std::string>& values);
    JsonLine& Numbers(std::string_view key, const std::vector<std::int64_t>& values);

    // The object, without a line break.
    std::string Str() const;

private:
    nlohmann::ordered_json m_object = nlohmann::ordered_json::object();
};

}  // namespace testbed

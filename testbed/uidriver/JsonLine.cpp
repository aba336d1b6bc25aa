#include "JsonLine.h"

namespace testbed {
namespace {

std::string Dumped(const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace

std::string JsonQuoted(std::string_view text) { return Dumped(std::string(text)); }

JsonLine& JsonLine::Text(std::string_view key, std::string_view value) {
    m_object[std::string(key)] = std::string(value);
    return *this;
}

JsonLine& JsonLine::Number(std::string_view key, std::int64_t value) {
    m_object[std::string(key)] = value;
    return *this;
}

JsonLine& JsonLine::Boolean(std::string_view key, bool value) {
    m_object[std::string(key)] = value;
    return *this;
}

JsonLine& JsonLine::Texts(std::string_view key, const std::vector<std::string>& values) {
    m_object[std::string(key)] = values;
    return *this;
}

JsonLine& JsonLine::Numbers(std::string_view key, const std::vector<std::int64_t>& values) {
    m_object[std::string(key)] = values;
    return *this;
}

std::string JsonLine::Str() const { return Dumped(m_object); }

}  // namespace testbed

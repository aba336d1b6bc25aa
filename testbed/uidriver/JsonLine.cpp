#include "JsonLine.h"

#include <cstdio>

namespace testbed {

std::string JsonQuoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    quoted += escape;
                } else {
                    quoted += c;
                }
        }
    }
    return quoted + "\"";
}

JsonLine& JsonLine::Text(std::string_view key, std::string_view value) { return Field(key, JsonQuoted(value)); }

JsonLine& JsonLine::Number(std::string_view key, std::int64_t value) { return Field(key, std::to_string(value)); }

JsonLine& JsonLine::Boolean(std::string_view key, bool value) { return Field(key, value ? "true" : "false"); }

JsonLine& JsonLine::Texts(std::string_view key, const std::vector<std::string>& values) {
    std::string array = "[";
    for (const std::string& value : values) {
        array += (array.size() > 1 ? "," : "") + JsonQuoted(value);
    }
    return Field(key, array + "]");
}

JsonLine& JsonLine::Numbers(std::string_view key, const std::vector<std::int64_t>& values) {
    std::string array = "[";
    for (const std::int64_t value : values) {
        array += (array.size() > 1 ? "," : "") + std::to_string(value);
    }
    return Field(key, array + "]");
}

JsonLine& JsonLine::Field(std::string_view key, std::string_view json) {
    if (!m_fields.empty()) {
        m_fields += ",";
    }
    m_fields += JsonQuoted(key);
    m_fields += ":";
    m_fields += json;
    return *this;
}

}  // namespace testbed

#include "RawQuery.h"

namespace testbed {

std::string_view QueryOfTarget(std::string_view target) {
    const auto mark = target.find('?');
    return mark == std::string_view::npos ? std::string_view{} : target.substr(mark + 1);
}

std::string_view PathOfTarget(std::string_view target) { return target.substr(0, target.find('?')); }

QueryParams ParseRawQuery(std::string_view query) {
    QueryParams params;
    while (!query.empty()) {
        const auto end = query.find('&');
        const auto piece = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view{} : query.substr(end + 1);
        if (piece.empty()) continue;
        const auto equals = piece.find('=');
        if (equals == std::string_view::npos) {
            params.push_back({std::string(piece), {}});
        } else {
            params.push_back({std::string(piece.substr(0, equals)), std::string(piece.substr(equals + 1))});
        }
    }
    return params;
}

std::optional<std::string_view> FindParam(const QueryParams& query, std::string_view key) {
    for (const auto& param : query) {
        if (param.key == key) return param.value;
    }
    return std::nullopt;
}

}  // namespace testbed

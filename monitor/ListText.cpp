#include "ListText.h"

#include "common/AppError.h"
#include "common/NumberText.h"

namespace monitor {

std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> pieces;
    if (text.empty()) {
        return pieces;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        pieces.emplace_back(
            text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) {
            return pieces;
        }
        start = comma + 1;
    }
}

long PortNumber(std::string_view text) {
    const std::optional<double> number = qv::ParseNumber(text);
    if (!number) {
        throw qv::AppError(qv::errnum::TypeMismatch, "类型不匹配");
    }
    const std::optional<std::int32_t> port = qv::ToInt32(*number);
    if (!port) {
        throw qv::OverflowError();
    }
    return *port;
}

}  // namespace monitor

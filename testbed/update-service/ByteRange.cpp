#include "ByteRange.h"

#include <charconv>
#include <optional>

namespace testbed {
namespace {

std::optional<long long> Offset(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

}  // namespace

ByteRange RequestedRange(std::string_view range, std::string_view ifRange, const FileValidators& file, long long size) {
    constexpr std::string_view kUnit = "bytes=";
    if (range.substr(0, kUnit.size()) != kUnit) return {};
    if (!ifRange.empty() && ifRange != file.etag && ifRange != file.lastModified) return {};
    const auto bounds = range.substr(kUnit.size());
    const auto dash = bounds.find('-');
    if (dash == std::string_view::npos) return {};
    const auto first = Offset(bounds.substr(0, dash));
    const auto lastText = bounds.substr(dash + 1);
    const auto last = lastText.empty() ? first : Offset(lastText);
    if (!first || !last || *last < *first) return {};
    if (*first >= size) return {ByteRange::Kind::Unsatisfiable, 0, 0};
    if (lastText.empty()) return {ByteRange::Kind::Partial, *first, size - 1};
    return {ByteRange::Kind::Partial, *first, *last < size ? *last : size - 1};
}

}  // namespace testbed

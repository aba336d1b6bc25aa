#include "DownloadPath.h"

namespace testbed {
namespace {

bool IsAcceptableSegment(std::string_view segment) {
    return !segment.empty() && segment != "." && segment != ".." && segment.find('\\') == std::string_view::npos &&
           segment.find('\0') == std::string_view::npos;
}

}  // namespace

std::optional<std::filesystem::path> DownloadFile(const std::filesystem::path& root, std::string_view relative) {
    auto file = root;
    while (true) {
        const auto slash = relative.find('/');
        const auto segment = relative.substr(0, slash);
        if (!IsAcceptableSegment(segment)) return std::nullopt;
        file /= std::filesystem::path(segment);
        if (slash == std::string_view::npos) return file;
        relative.remove_prefix(slash + 1);
    }
}

}  // namespace testbed

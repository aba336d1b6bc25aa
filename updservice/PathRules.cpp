#include "PathRules.h"

#include <algorithm>
#include <array>

#include "common/TextCase.h"

namespace updservice {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDeviceName(std::string_view part) {
    const std::string stem = qv::AsciiUpper(part.substr(0, part.find('.')));
    static constexpr std::array<std::string_view, 4> kNames = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kNames.begin(), kNames.end(), stem) != kNames.end()) return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9';
}

// Why one part of a path (between separators) is not allowed; nullopt when it is.
std::optional<std::string> RefusePart(std::string_view part) {
    const std::string quoted = "“" + std::string(part) + "”";
    if (part.empty()) return "路径中有空的部分";
    if (part == "." || part == "..") return "路径中有 " + quoted + " 部分";
    for (const char c : part) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
            return "路径部分 " + quoted + " 含有不允许的字符";
        }
    }
    if (part.back() == '.' || part.back() == ' ') return "路径部分 " + quoted + " 以点或空格结尾";
    if (IsDeviceName(part)) return "路径部分 " + quoted + " 是设备名";
    return std::nullopt;
}

PathCheck Refuse(std::string_view text, const std::string& why) {
    return {std::nullopt, "路径 “" + std::string(text) + "” 不可用：" + why + "。"};
}

}  // namespace

PathCheck CheckLocalPath(std::string_view text) {
    if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
        return Refuse(text, "网络路径（UNC）和设备路径不允许");
    }
    const bool drive = text.size() >= 2 && text[1] == ':' &&
                       ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
    if (!drive || text.size() < 3 || !IsSeparator(text[2])) {
        return Refuse(text, "不是以盘符开头的完整路径（如 C:\\Quorvel）");
    }
    std::string path = std::string(text.substr(0, 2)) + "\\";
    std::string_view rest = text.substr(3);
    while (!rest.empty() && IsSeparator(rest.back())) rest.remove_suffix(1);
    while (!rest.empty()) {
        const auto end = std::find_if(rest.begin(), rest.end(), IsSeparator);
        const std::string_view part(rest.begin(), end);
        if (const auto why = RefusePart(part)) return Refuse(text, *why);
        if (path.back() != '\\') path += '\\';
        path += part;
        rest.remove_prefix(std::min(rest.size(), part.size() + 1));
    }
    return {path, {}};
}

PathCheck CheckInstallFolder(std::string_view text) {
    PathCheck check = CheckLocalPath(text);
    if (check.path && check.path->size() == 3) return Refuse(text, "不能是驱动器的根目录");
    return check;
}

std::optional<std::string> RefuseFileName(std::string_view name) {
    if (std::any_of(name.begin(), name.end(), IsSeparator)) return "文件名 “" + std::string(name) + "” 含有路径";
    return RefusePart(name);
}

bool IsSameOrInside(std::string_view path, std::string_view folder) {
    if (path.size() < folder.size() || !qv::EqualsNoCase(path.substr(0, folder.size()), folder)) return false;
    return path.size() == folder.size() || folder.back() == '\\' || path[folder.size()] == '\\';
}

bool IsSameFolder(std::string_view first, std::string_view second) {
    const PathCheck a = CheckLocalPath(first);
    const PathCheck b = CheckLocalPath(second);
    return a.path && b.path && a.path->size() == b.path->size() && IsSameOrInside(*a.path, *b.path);
}

}  // namespace updservice

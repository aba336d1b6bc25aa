#include "MemberName.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace arj {
namespace {

bool IsDeviceName(std::string name) {
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; });
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kPlain.begin(), kPlain.end(), name) != kPlain.end()) return true;
    return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) && name[3] >= '0' && name[3] <= '9';
}

}  // namespace

std::optional<std::string> PlainMemberName(const std::string& stored) {
    const std::size_t slash = stored.find_last_of("/\\");
    std::string name = slash == std::string::npos ? stored : stored.substr(slash + 1);
    if (name.find_first_not_of(". ") == std::string::npos) return std::nullopt;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || std::string_view(":<>\"|?*").find(c) != std::string_view::npos) return std::nullopt;
    }
    if (IsDeviceName(name)) return std::nullopt;
    return name;
}

}  // namespace arj

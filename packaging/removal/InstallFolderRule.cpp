#include "InstallFolderRule.h"

#include "common/TextCase.h"

namespace packaging {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::vector<std::string_view> Components(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// "C:" or "\\server\share": the part no removal may reach.
std::size_t RootComponents(std::string_view raw) { return raw.size() >= 2 && raw[1] == ':' ? 1 : 2; }

// `inner` is `outer` or lies inside it (both normalised).
bool Within(std::string_view inner, std::string_view outer) {
    const std::string a = qv::AsciiLower(inner);
    std::string b = qv::AsciiLower(outer);
    if (a == b) return true;
    if (b.empty() || b.back() != '\\') b += '\\';
    return a.size() > b.size() && a.compare(0, b.size(), b) == 0;
}

}  // namespace

std::optional<std::string> NormaliseAbsoluteFolder(std::string_view raw) {
    const bool drive = raw.size() >= 3 && IsDriveLetter(raw[0]) && raw[1] == ':' && IsSeparator(raw[2]);
    const bool unc = raw.size() >= 3 && IsSeparator(raw[0]) && IsSeparator(raw[1]) && !IsSeparator(raw[2]);
    if (!drive && !unc) return std::nullopt;
    std::vector<std::string_view> parts = Components(raw);
    // "\\?\" and "\\.\" name devices and raw paths, not folders a package installs into.
    if (unc && (parts.size() < 2 || parts[0] == "?")) return std::nullopt;
    std::string folder = unc ? "\\\\" : "";
    std::size_t kept = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (parts[i] == "..") return std::nullopt;
        if (parts[i] == ".") {
            if (i < RootComponents(raw)) return std::nullopt;
            continue;
        }
        if (kept++ > 0) folder += '\\';
        folder += parts[i];
    }
    if (drive && kept == 1) folder += '\\';
    return folder;
}

FolderVerdict JudgeInstallFolder(std::string_view raw, const ProtectedFolders& folders) {
    const std::optional<std::string> folder = NormaliseAbsoluteFolder(raw);
    if (!folder) return FolderVerdict::NotAbsolute;
    if (Components(*folder).size() <= RootComponents(*folder)) return FolderVerdict::Root;
    const auto normalised = [](const std::string& path) { return NormaliseAbsoluteFolder(path); };
    for (const std::string& system : folders.system) {
        const auto kept = normalised(system);
        if (kept && Within(*folder, *kept)) {
            return qv::EqualsNoCase(*folder, *kept) ? FolderVerdict::ProtectedFolder
                                                    : FolderVerdict::InsideSystemFolder;
        }
    }
    const auto all = {&folders.keep, &folders.system};
    for (const auto* list : all) {
        for (const std::string& keep : *list) {
            const auto kept = normalised(keep);
            if (!kept) continue;
            if (qv::EqualsNoCase(*folder, *kept)) return FolderVerdict::ProtectedFolder;
            if (Within(*kept, *folder)) return FolderVerdict::HoldsProtectedFolder;
        }
    }
    return FolderVerdict::Removable;
}

std::string_view VerdictText(FolderVerdict verdict) {
    switch (verdict) {
        case FolderVerdict::Removable:
            return "removable";
        case FolderVerdict::NotAbsolute:
            return "not an absolute folder";
        case FolderVerdict::Root:
            return "a drive root or network share";
        case FolderVerdict::ProtectedFolder:
            return "a folder of the system";
        case FolderVerdict::HoldsProtectedFolder:
            return "holds a folder of the system";
        case FolderVerdict::InsideSystemFolder:
            return "inside the Windows folder";
    }
    return "unknown";
}

}  // namespace packaging

#include "LocalFolder.h"

#include <string_view>

namespace launcher {
namespace {

constexpr std::string_view kCurrentPath = "[CUR_PATH]";
constexpr std::string_view kSystemPath = "[SYS_PATH]";

// Every occurrence, left to right; the replacement is not searched again.
std::string ReplaceAll(std::string text, std::string_view from, const std::string& to) {
    for (auto pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
    return text;
}

}  // namespace

std::string LocalFolder(const clsProgramFile& oProgramFile, const std::string& launcherFolder, ISystemInfo& system) {
    const std::string& path = oProgramFile.cFilePath;
    std::string folder;
    if (path.find(kCurrentPath) != std::string::npos) {
        folder = ReplaceAll(path, kCurrentPath, launcherFolder + "\\");
    } else if (path.find(kSystemPath) != std::string::npos) {
        folder = ReplaceAll(path, kSystemPath, system.SystemDirectory() + "\\");
    } else {
        const auto lastSeparator = path.rfind('\\');
        folder = lastSeparator == std::string::npos ? std::string() : path.substr(0, lastSeparator + 1);
    }
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string LocalFile(const clsProgramFile& oProgramFile, const std::string& launcherFolder, ISystemInfo& system) {
    return LocalFolder(oProgramFile, launcherFolder, system) + oProgramFile.cFileName;
}

}  // namespace launcher

#include "TargetRules.h"

#include "PathRules.h"
#include "launcher/LocalFolder.h"

namespace updservice {

std::optional<std::string> RefuseTarget(const launcher::clsProgramFile& entry, const std::string& installFolder,
                                        launcher::ISystemInfo& system) {
    const std::string prefix = "程序文件 " + entry.cFileName + " 的目标位置不允许：";
    if (const auto why = RefuseFileName(entry.cFileName)) return prefix + *why + "。";
    const PathCheck folder = CheckLocalPath(launcher::LocalFolder(entry, installFolder, system));
    if (!folder.path) return prefix + folder.reason;
    const bool systemEntry = entry.cFilePath.find("[CUR_PATH]") == std::string::npos &&
                             entry.cFilePath.find("[SYS_PATH]") != std::string::npos;
    if (systemEntry) {
        const PathCheck systemFolder = CheckLocalPath(system.SystemDirectory());
        if (systemFolder.path && IsSameOrInside(*folder.path, *systemFolder.path) &&
            folder.path->size() == systemFolder.path->size()) {
            return std::nullopt;
        }
        return prefix + *folder.path + " 不是系统文件夹本身。";
    }
    if (IsSameOrInside(*folder.path, installFolder)) return std::nullopt;
    return prefix + *folder.path + " 不在安装文件夹 " + installFolder + " 之内。";
}

}  // namespace updservice

#include "UpdateAuthority.h"

#include "PathRules.h"

namespace updservice {
namespace {

Authorization Refuse(std::string reason) { return {std::nullopt, std::move(reason)}; }

}  // namespace

Authorization Authorize(launcher::ISettingsSource& settings, IInstallDirSource& installDir) {
    UpdatePermit permit;
    if (std::string error; !settings.Load(permit.settings, error)) return Refuse(error);
    const std::string key = std::string("注册表项 ") + kMachineKeyName;
    if (!permit.settings.publisherKeys) {
        return Refuse(key + " 中缺少 PublisherKeys：更新服务只安装发布者签名的更新，没有公钥时拒绝一切更新。");
    }
    auto keys = launcher::ParsePublisherKeys(*permit.settings.publisherKeys);
    if (!keys) return Refuse(key + " 中 PublisherKeys 不是以逗号分隔的 64 字节公钥的 base64 文本。");
    permit.keys = std::move(*keys);
    const auto folderText = installDir.InstallDir();
    if (!folderText || folderText->empty()) return Refuse(key + " 中缺少 InstallDir（安装文件夹）。");
    const PathCheck folder = CheckInstallFolder(*folderText);
    if (!folder.path) return Refuse(key + " 中的 InstallDir 不可用：" + folder.reason);
    permit.installFolder = *folder.path;
    return {std::move(permit), {}};
}

}  // namespace updservice

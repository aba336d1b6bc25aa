#include "modCompressFile.h"

namespace launcher {

std::string ArchiverCommandLine(const std::string& strArchiver, const std::string& strArchive,
                                const std::string& strFolder) {
    return "\"" + strArchiver + "\" e \"" + strArchive + "\" -y \"" + strFolder + " \"";
}

bool UnCompressFile(const std::string& strArchiver, const std::string& strArchive, const std::string& strFolder,
                    IInstallProcesses& processes, IWaitWindow& waitWindow, IMessageBox& messageBox) {
    std::string error;
    if (strFolder.empty() || strFolder.back() != '\\') {
        error = "目标文件应该只包含文件路径，不包含文件名且最后以符号 \\ 结尾";
    } else if (processes.RunMinimisedAndWait(ArchiverCommandLine(strArchiver, strArchive, strFolder), error)) {
        return true;
    }
    waitWindow.HideForm();
    messageBox.Show(error + "\r\n文件解除压缩时发生错误！", "错误", mb::IconStop | mb::SystemModal);
    return false;
}

}  // namespace launcher

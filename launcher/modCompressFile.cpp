#include "modCompressFile.h"

#include <optional>

namespace launcher {

std::string ArchiverCommandLine(const std::string& strArchiver, const std::string& strArchive,
                                const std::string& strFolder) {
    return "\"" + strArchiver + "\" e \"" + strArchive + "\" -y \"" + strFolder + " \"";
}

bool UnCompressFile(const std::string& strArchiver, const std::string& strArchive, const std::string& strFolder,
                    IInstallProcesses& processes, IWaitWindow& waitWindow, IMessageBox& messageBox, IRunLog* log) {
    std::string error;
    std::optional<std::uint32_t> exitCode;
    const std::string commandLine = ArchiverCommandLine(strArchiver, strArchive, strFolder);
    if (strFolder.empty() || strFolder.back() != '\\') {
        error = "目标文件应该只包含文件路径，不包含文件名且最后以符号 \\ 结尾";
    } else if (processes.RunMinimisedAndWaitForExit(commandLine, error, exitCode)) {
        LogEvent(log, "archiver " + commandLine + " ended, exit code " +
                          (exitCode ? std::to_string(*exitCode) : std::string("unknown")));
        return true;
    }
    LogEvent(log, "archiver " + commandLine + " not run: " + error);
    waitWindow.HideForm();
    messageBox.Show(error + "\r\n文件解除压缩时发生错误！", "错误", mb::IconStop | mb::SystemModal);
    return false;
}

}  // namespace launcher

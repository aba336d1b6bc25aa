#include "modCompressFile.h"

namespace launcher {

std::string ArchiverCommandLine(const std::string& strArchiver, const std::string& strArchive,
                                const std::string& strFolder) {
    return "\"" + strArchiver + "\" e \"" + strArchive + "\" -y \"" + strFolder + " \"";
}

bool UnCompressFile(const std::string& strArchiver, const std::string& strArchive, const std::string& strFolder,
                    const std::string& strExpected, IFileSystem& fileSystem, IInstallProcesses& processes,
                    IWaitWindow& waitWindow, IMessageBox& messageBox, IRunLog* log) {
    std::string error;
    std::uint32_t exitCode = 0;
    const std::string commandLine = ArchiverCommandLine(strArchiver, strArchive, strFolder);
    if (strFolder.empty() || strFolder.back() != '\\') {
        error = "目标文件应该只包含文件路径，不包含文件名且最后以符号 \\ 结尾";
    } else if (processes.RunAndWait(commandLine, HelperWindow::MinimisedNoFocus, kArchiverWaitMs, exitCode, error)) {
        LogEvent(log, "archiver " + commandLine + " ended, exit code " + std::to_string(exitCode));
        if (exitCode > kArchiverWarning) {
            error = "解压程序的退出代码为 " + std::to_string(exitCode) + "。";
        } else if (fileSystem.FileSize(strExpected) < 0) {
            error = "解压后没有找到文件 " + strExpected + "。";
        } else {
            return true;
        }
    }
    LogEvent(log, "archiver " + commandLine + " refused: " + error);
    waitWindow.HideForm();
    messageBox.Show(error + "\r\n文件解除压缩时发生错误！", "错误", mb::IconStop | mb::SystemModal);
    return false;
}

}  // namespace launcher

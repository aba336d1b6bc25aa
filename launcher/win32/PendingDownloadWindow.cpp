#include "PendingDownloadWindow.h"

#include <string>

#include "TextConvert.h"
#include "WindowsApi.h"

namespace launcher::win {

bool PendingDownloadWindow::ShowForm(const UpdateFileList& cltUpdateFiles) {
    m_waitWindow.HideForm();
    const std::string text =
        "有 " + std::to_string(cltUpdateFiles.size()) + " 个程序文件需要升级，下载窗口尚未提供。";
    MessageBoxW(nullptr, qv::win::Widen(text).c_str(), L"提示", MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL);
    return false;
}

}  // namespace launcher::win

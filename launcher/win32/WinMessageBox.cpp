#include "WinMessageBox.h"

#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"

namespace launcher::win {

int WinMessageBox::Show(const std::string& text, const std::string& title, unsigned flags) {
    const std::wstring caption = qv::win::Widen(title.empty() ? kApplicationTitle : title);
    return MessageBoxW(nullptr, qv::win::Widen(text).c_str(), caption.c_str(), flags);
}

}  // namespace launcher::win

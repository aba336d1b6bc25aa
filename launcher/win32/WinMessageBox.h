#pragma once
// Message boxes on Win32. The caller chooses every flag (system-modal, icon,
// buttons); this only supplies the application title when none is given.
#include <string>

#include "launcher/Platform.h"

namespace launcher::win {

inline constexpr const char* kApplicationTitle = "Quorvel 启动程序";

class WinMessageBox final : public IMessageBox {
public:
    int Show(const std::string& text, const std::string& title, unsigned flags) override;
};

}  // namespace launcher::win

#pragma once
// The Windows system folder, where "[SYS_PATH]" program files are installed.
#include <string>

#include "launcher/Platform.h"

namespace launcher::win {

class WinSystemInfo final : public ISystemInfo {
public:
    std::string SystemDirectory() override;
};

}  // namespace launcher::win

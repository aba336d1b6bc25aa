#pragma once
// The shell's short size text ("1.00 KB", "117 MB").
#include <string>

#include "launcher/DownloadPlatform.h"

namespace launcher::win {

class ShellSizeFormatter final : public ISizeFormatter {
public:
    std::string FormatByteSize(std::int64_t bytes) override;
};

}  // namespace launcher::win

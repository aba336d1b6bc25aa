#pragma once
// Files written as raw bytes from their start, for downloaded archives.
#include <memory>
#include <string>

#include "launcher/DownloadPlatform.h"

namespace launcher::win {

class Win32OutputFiles final : public IOutputFiles {
public:
    std::unique_ptr<IOutputFile> Create(const std::string& path, std::string& error) override;
    std::unique_ptr<IOutputFile> Append(const std::string& path, std::string& error) override;
};

}  // namespace launcher::win

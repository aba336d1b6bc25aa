#pragma once
// The launcher's file system on Win32: UTF-8 paths, files in the system's
// ANSI code page, failures described by the system's own error texts.
#include <string>

#include "launcher/Platform.h"

namespace launcher::win {

class Win32FileSystem final : public IFileSystem {
public:
    bool FileExists(const std::string& path) override;
    bool DeleteFile(const std::string& path, std::string& error) override;
    bool ReadTextFile(const std::string& path, std::string& text, std::string& error) override;
    bool WriteTextFile(const std::string& path, const std::string& text, std::string& error) override;
    bool ReplaceFile(const std::string& target, const std::string& replacement, std::string& error) override;
};

}  // namespace launcher::win

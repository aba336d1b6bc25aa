#pragma once
// The launcher's file system on Win32: UTF-8 paths, files in the system's
// ANSI code page, failures described by the system's own error texts. A file
// held open by another program (a scanner looking at a new program file) is
// waited for, a few seconds at most, before a move, copy or deletion fails.
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
    bool FolderExists(const std::string& path) override;
    bool CreateFolder(const std::string& path, std::string& error) override;
    bool RemoveFolderTree(const std::string& path, std::string& error) override;
    std::vector<std::string> ListFolder(const std::string& path) override;
    std::int64_t FileSize(const std::string& path) override;
    bool MoveFile(const std::string& from, const std::string& to, std::string& error) override;
    bool CopyFile(const std::string& from, const std::string& to, std::string& error) override;
    bool CanWriteFolder(const std::string& path) override;
    bool ReadFileBytes(const std::string& path, const std::function<void(const char*, std::size_t)>& sink,
                       std::string& error) override;
};

}  // namespace launcher::win

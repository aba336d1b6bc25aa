#pragma once
// An in-memory file system. Paths are compared exactly as given (the code under
// test builds them the same way every time). Failures are switched on per kind
// of operation and stay on until cleared; every call is recorded in order.
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "launcher/Platform.h"

namespace launcher {

struct FileCall {
    std::string operation;  // the method's name: "FileExists", "DeleteFile", "MoveFile", ...
    std::string path;
    std::string otherPath;  // the replacement of ReplaceFile, else empty

    bool operator==(const FileCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const FileCall& call);

class FakeFileSystem : public IFileSystem {
public:
    // Description given by every operation on a path that is not there.
    static constexpr const char* kNotFound = "文件未找到";

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
    bool ReadFileBytes(const std::string& path, const std::function<void(const char*, std::size_t)>& sink,
                       std::string& error) override;
    bool CanWriteFolder(const std::string& path) override { return !deniedFolders.contains(path); }

    // Folders (without a final "\") this user may not write in.
    std::set<std::string> deniedFolders;

    // Asked before every call that changes something; a description makes
    // that call fail with it. It may also throw, as a process that is killed
    // stops between two calls.
    std::function<std::optional<std::string>(const FileCall&)> failWhen;

    void SetFile(const std::string& path, const std::string& content);
    // Still there and readable, but FileExists reports it absent.
    void HideFile(const std::string& path);
    std::optional<std::string> Content(const std::string& path) const;
    const std::map<std::string, std::string>& Files() const { return files_; }
    const std::set<std::string>& Folders() const { return folders_; }

    void FailReads(const std::string& description) { readFailure_ = description; }
    // As Windows keeps a file that a program writes with no sharing: reading it fails meanwhile.
    void SetOpenForWriting(const std::string& path, bool open);
    // The written file keeps the first `bytes` bytes of the text, as a write
    // that broke off would leave it.
    void FailWritesAfter(std::size_t bytes, const std::string& description);
    void FailReplaces(const std::string& description) { replaceFailure_ = description; }
    void FailDeletes(const std::string& description) { deleteFailure_ = description; }
    void ClearFailures();

    const std::vector<FileCall>& Calls() const { return calls_; }

private:
    std::set<std::string> openForWriting_;
    // Records the call and asks failWhen; false with its description.
    bool Allowed(FileCall call, std::string& error);
    // Records the call; the content, or nullptr with the reason it cannot be read.
    const std::string* Readable(FileCall call, std::string& error);
    // Puts the content of `from` at `to`; a move also drops `from`.
    bool Transfer(const std::string& from, const std::string& to, bool removeSource, std::string& error);

    std::map<std::string, std::string> files_;
    std::set<std::string> folders_;
    std::set<std::string> hidden_;
    std::optional<std::string> readFailure_;
    std::optional<std::string> writeFailure_;
    std::size_t writtenBeforeFailure_ = 0;
    std::optional<std::string> replaceFailure_;
    std::optional<std::string> deleteFailure_;
    std::vector<FileCall> calls_;
};

}  // namespace launcher

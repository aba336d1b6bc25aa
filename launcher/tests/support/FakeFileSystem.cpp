#include "FakeFileSystem.h"

namespace launcher {

std::ostream& operator<<(std::ostream& out, const FileCall& call) {
    out << call.operation << "(" << call.path;
    if (!call.otherPath.empty()) out << ", " << call.otherPath;
    return out << ")";
}

bool FakeFileSystem::FileExists(const std::string& path) {
    calls_.push_back({"FileExists", path, {}});
    return files_.contains(path) && !hidden_.contains(path);
}

bool FakeFileSystem::Allowed(FileCall call, std::string& error) {
    calls_.push_back(call);
    if (!failWhen) return true;
    const auto failure = failWhen(calls_.back());
    if (!failure) return true;
    error = *failure;
    return false;
}

bool FakeFileSystem::DeleteFile(const std::string& path, std::string& error) {
    if (!Allowed({"DeleteFile", path, {}}, error)) return false;
    if (deleteFailure_) {
        error = *deleteFailure_;
        return false;
    }
    if (files_.erase(path) == 0) {
        error = kNotFound;
        return false;
    }
    hidden_.erase(path);
    return true;
}

const std::string* FakeFileSystem::Readable(FileCall call, std::string& error) {
    calls_.push_back(call);
    const auto file = files_.find(call.path);
    if (readFailure_) {
        error = *readFailure_;
    } else if (file == files_.end()) {
        error = kNotFound;
    } else if (openForWriting_.count(call.path) != 0) {
        error = "另一个程序正在使用此文件，进程无法访问。";
    } else {
        return &file->second;
    }
    return nullptr;
}

bool FakeFileSystem::ReadTextFile(const std::string& path, std::string& text, std::string& error) {
    const std::string* content = Readable({"ReadTextFile", path, {}}, error);
    if (content) text = *content;
    return content != nullptr;
}

bool FakeFileSystem::WriteTextFile(const std::string& path, const std::string& text, std::string& error) {
    if (!Allowed({"WriteTextFile", path, {}}, error)) return false;
    if (writeFailure_) {
        files_[path] = text.substr(0, writtenBeforeFailure_);
        error = *writeFailure_;
        return false;
    }
    files_[path] = text;
    return true;
}

bool FakeFileSystem::ReplaceFile(const std::string& target, const std::string& replacement, std::string& error) {
    if (!Allowed({"ReplaceFile", target, replacement}, error)) return false;
    if (replaceFailure_) {
        error = *replaceFailure_;
        return false;
    }
    // The target keeps its attributes, hidden or not.
    return Transfer(replacement, target, true, error);
}

bool FakeFileSystem::Transfer(const std::string& from, const std::string& to, bool removeSource, std::string& error) {
    const auto source = files_.find(from);
    if (source == files_.end()) {
        error = kNotFound;
        return false;
    }
    files_[to] = source->second;
    if (removeSource) {
        files_.erase(from);
        hidden_.erase(from);
    }
    return true;
}

bool FakeFileSystem::FolderExists(const std::string& path) {
    calls_.push_back({"FolderExists", path, {}});
    return folders_.contains(path);
}

bool FakeFileSystem::CreateFolder(const std::string& path, std::string& error) {
    if (!Allowed({"CreateFolder", path, {}}, error)) return false;
    folders_.insert(path);
    return true;
}

bool FakeFileSystem::RemoveFolderTree(const std::string& path, std::string& error) {
    if (!Allowed({"RemoveFolderTree", path, {}}, error)) return false;
    const std::string inside = path + "\\";
    std::erase_if(files_, [&](const auto& file) { return file.first.starts_with(inside); });
    std::erase_if(folders_, [&](const auto& folder) { return folder == path || folder.starts_with(inside); });
    return true;
}

std::vector<std::string> FakeFileSystem::ListFolder(const std::string& path) {
    calls_.push_back({"ListFolder", path, {}});
    const std::string inside = path + "\\";
    std::set<std::string> names;
    const auto add = [&](const std::string& entry) {
        if (entry.starts_with(inside) && entry.find('\\', inside.size()) == std::string::npos) {
            names.insert(entry.substr(inside.size()));
        }
    };
    for (const auto& file : files_) add(file.first);
    for (const auto& folder : folders_) add(folder);
    return {names.begin(), names.end()};
}

std::int64_t FakeFileSystem::FileSize(const std::string& path) {
    calls_.push_back({"FileSize", path, {}});
    const auto file = files_.find(path);
    return file == files_.end() ? -1 : static_cast<std::int64_t>(file->second.size());
}

bool FakeFileSystem::MoveFile(const std::string& from, const std::string& to, std::string& error) {
    return Allowed({"MoveFile", from, to}, error) && Transfer(from, to, true, error);
}

bool FakeFileSystem::CopyFile(const std::string& from, const std::string& to, std::string& error) {
    return Allowed({"CopyFile", from, to}, error) && Transfer(from, to, false, error);
}

void FakeFileSystem::SetOpenForWriting(const std::string& path, bool open) {
    if (open) {
        openForWriting_.insert(path);
    } else {
        openForWriting_.erase(path);
    }
}

bool FakeFileSystem::ReadFileBytes(const std::string& path, const std::function<void(const char*, std::size_t)>& sink,
                                   std::string& error) {
    const std::string* content = Readable({"ReadFileBytes", path, {}}, error);
    if (content) sink(content->data(), content->size());
    return content != nullptr;
}

void FakeFileSystem::SetFile(const std::string& path, const std::string& content) { files_[path] = content; }

void FakeFileSystem::HideFile(const std::string& path) { hidden_.insert(path); }

std::optional<std::string> FakeFileSystem::Content(const std::string& path) const {
    const auto file = files_.find(path);
    if (file == files_.end()) return std::nullopt;
    return file->second;
}

void FakeFileSystem::FailWritesAfter(std::size_t bytes, const std::string& description) {
    writeFailure_ = description;
    writtenBeforeFailure_ = bytes;
}

void FakeFileSystem::ClearFailures() {
    readFailure_.reset();
    writeFailure_.reset();
    replaceFailure_.reset();
    deleteFailure_.reset();
}

}  // namespace launcher

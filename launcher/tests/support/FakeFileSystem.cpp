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

bool FakeFileSystem::DeleteFile(const std::string& path, std::string& error) {
    calls_.push_back({"DeleteFile", path, {}});
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

bool FakeFileSystem::ReadTextFile(const std::string& path, std::string& text, std::string& error) {
    calls_.push_back({"ReadTextFile", path, {}});
    if (readFailure_) {
        error = *readFailure_;
        return false;
    }
    const auto file = files_.find(path);
    if (file == files_.end()) {
        error = kNotFound;
        return false;
    }
    text = file->second;
    return true;
}

bool FakeFileSystem::WriteTextFile(const std::string& path, const std::string& text, std::string& error) {
    calls_.push_back({"WriteTextFile", path, {}});
    if (writeFailure_) {
        files_[path] = text.substr(0, writtenBeforeFailure_);
        error = *writeFailure_;
        return false;
    }
    files_[path] = text;
    return true;
}

bool FakeFileSystem::ReplaceFile(const std::string& target, const std::string& replacement, std::string& error) {
    calls_.push_back({"ReplaceFile", target, replacement});
    if (replaceFailure_) {
        error = *replaceFailure_;
        return false;
    }
    const auto source = files_.find(replacement);
    if (source == files_.end()) {
        error = kNotFound;
        return false;
    }
    // The target keeps its attributes, hidden or not.
    files_[target] = source->second;
    files_.erase(replacement);
    hidden_.erase(replacement);
    return true;
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

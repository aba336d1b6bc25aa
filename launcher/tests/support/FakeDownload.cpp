#include "FakeDownload.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace launcher {

void FakeDownloadView::SetBarRange(ProgressBar bar, std::int32_t lMin, std::int32_t lMax) {
    Bar& b = Of(bar);
    b.min = lMin;
    b.max = lMax;
    b.values.push_back(lMin);
}

void FakeDownloadView::DoEvents() {
    ++doEvents;
    if (onDoEvents) onDoEvents(doEvents);
}

void FakeDownloadView::ShowNow() {
    shownFileValue = file.values.empty() ? -1 : file.values.back();
    shownAllValue = all.values.empty() ? -1 : all.values.back();
    shownSpeedText = speedTexts.empty() ? "" : speedTexts.back();
}

namespace {

class FakeUrlDownload : public IUrlDownload {
public:
    FakeUrlDownload(const FakeResponse& response, std::vector<std::uint32_t>& readSizes, std::size_t& served)
        : response_(response), readSizes_(readSizes), served_(served) {}

    std::string QueryContentLength() override { return response_.contentLength.value_or(""); }
    std::string QueryHeader(const std::string& name) override {
        const auto found = response_.headers.find(name);
        return found == response_.headers.end() ? "" : found->second;
    }
    std::string QueryStatusCode() override { return response_.status; }
    bool ReadBlock(char* buffer, std::uint32_t capacity, std::uint32_t& read) override {
        readSizes_.push_back(capacity);
        read = 0;
        if (response_.failReadAt && offset_ >= *response_.failReadAt) return false;
        std::size_t end = std::min(response_.body.size(), offset_ + capacity);
        if (response_.failReadAt) end = std::min(end, *response_.failReadAt);
        read = static_cast<std::uint32_t>(end - offset_);
        std::memcpy(buffer, response_.body.data() + offset_, read);
        offset_ = end;
        served_ += read;
        return true;
    }

private:
    FakeResponse response_;
    std::vector<std::uint32_t>& readSizes_;
    std::size_t& served_;
    std::size_t offset_ = 0;
};

class FakeOutputFile : public IOutputFile {
public:
    FakeOutputFile(FakeFileSystem& fileSystem, FakeOutputFiles& owner, std::string path,
                   std::optional<std::size_t> failWriteAfter)
        : fileSystem_(fileSystem), owner_(owner), path_(std::move(path)), failWriteAfter_(failWriteAfter) {
        fileSystem_.SetOpenForWriting(path_, true);
    }
    ~FakeOutputFile() override { fileSystem_.SetOpenForWriting(path_, false); }
    FakeOutputFile(const FakeOutputFile&) = delete;
    FakeOutputFile& operator=(const FakeOutputFile&) = delete;

    bool Write(const char* data, std::uint32_t size, std::string& error) override {
        std::string content = fileSystem_.Content(path_).value_or("");
        if (failWriteAfter_ && content.size() + size > *failWriteAfter_) {
            error = "磁盘已满";
            return false;
        }
        fileSystem_.SetFile(path_, content.append(data, size));
        return true;
    }
    bool Close(std::string&) override {
        fileSystem_.SetOpenForWriting(path_, false);
        owner_.closed.push_back(path_);
        return true;
    }

private:
    FakeFileSystem& fileSystem_;
    FakeOutputFiles& owner_;
    std::string path_;
    std::optional<std::size_t> failWriteAfter_;
};

}  // namespace

std::unique_ptr<IUrlDownload> FakeUrlOpener::OpenUrl(const std::string& url) {
    opened.push_back(url);
    const auto found = responses.find(url);
    if (found == responses.end()) return nullptr;
    return std::make_unique<FakeUrlDownload>(found->second, readSizes, bytesServed);
}

std::unique_ptr<IUrlDownload> FakeUrlOpener::OpenUrlFrom(const std::string& url, std::int64_t offset,
                                                         const std::string& ifRange) {
    opened.push_back(url);
    ranged.push_back({url, offset, ifRange});
    const auto found = responses.find(url);
    if (found == responses.end()) return nullptr;
    FakeResponse response = found->second;
    const auto& headers = response.headers;
    const bool unchanged = ifRange.empty() || (headers.contains("ETag") && headers.at("ETag") == ifRange) ||
                           (headers.contains("Last-Modified") && headers.at("Last-Modified") == ifRange);
    const auto size = static_cast<std::int64_t>(response.body.size());
    if (honoursRanges && unchanged && response.status == "200") {
        if (offset >= size) {
            response = FakeResponse{"0", "416", "", std::nullopt, {}};
        } else {
            response.headers["Content-Range"] =
                "bytes " + std::to_string(offset) + "-" + std::to_string(size - 1) + "/" + std::to_string(size);
            response.status = "206";
            response.body = response.body.substr(static_cast<std::size_t>(offset));
            response.contentLength = std::to_string(response.body.size());
            if (response.failReadAt) {
                response.failReadAt = *response.failReadAt > static_cast<std::size_t>(offset)
                                          ? *response.failReadAt - static_cast<std::size_t>(offset)
                                          : 0;
            }
        }
    }
    return std::make_unique<FakeUrlDownload>(response, readSizes, bytesServed);
}

void FakeUrlOpener::Serve(const std::string& url, const std::string& body) {
    responses[url] = FakeResponse{std::to_string(body.size()), "200", body, std::nullopt, {}};
}

std::unique_ptr<IOutputFile> FakeOutputFiles::Create(const std::string& path, std::string& error) {
    if (!createFailure.empty()) {
        error = createFailure;
        return nullptr;
    }
    fileSystem_.SetFile(path, "");
    return std::make_unique<FakeOutputFile>(fileSystem_, *this, path, failWriteAfter);
}

std::unique_ptr<IOutputFile> FakeOutputFiles::Append(const std::string& path, std::string& error) {
    if (!createFailure.empty() || !fileSystem_.Content(path)) {
        error = createFailure.empty() ? FakeFileSystem::kNotFound : createFailure;
        return nullptr;
    }
    appended.push_back(path);
    return std::make_unique<FakeOutputFile>(fileSystem_, *this, path, failWriteAfter);
}

bool FakeInstallProcesses::RunAndWait(const std::string& commandLine, HelperWindow window, std::uint32_t,
                                      std::uint32_t& code, std::string& error) {
    waited.push_back(commandLine);
    windows.push_back(window);
    if (!runFailure.empty()) {
        error = runFailure;
        return false;
    }
    if (onRun) onRun(commandLine);
    code = exitCode ? exitCode(commandLine) : 0;
    return true;
}

std::vector<std::string> FakeInstallProcesses::Registrations() const {
    std::vector<std::string> found;
    for (const auto& line : waited) {
        if (line.rfind("regsvr32", 0) == 0) found.push_back(line);
    }
    return found;
}

std::string FakeSizeFormatter::FormatByteSize(std::int64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " B";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(bytes) / 1024.0);
    return text;
}

}  // namespace launcher

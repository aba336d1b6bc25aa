#pragma once
// Fakes of the download window's controls, the HTTP transfer, output files,
// the archiver and regsvr32 processes, and the size text.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "launcher/DownloadPlatform.h"
#include "FakeFileSystem.h"

namespace launcher {

class FakeDownloadView : public IDownloadView {
public:
    struct Bar {
        std::int32_t min = 0;
        std::int32_t max = 0;
        bool indeterminate = false;
        std::vector<std::int32_t> values;  // every value set, in order
    };

    void SetBarRange(ProgressBar bar, std::int32_t lMin, std::int32_t lMax) override;
    std::int32_t BarMin(ProgressBar bar) const override { return Of(bar).min; }
    std::int32_t BarMax(ProgressBar bar) const override { return Of(bar).max; }
    void SetBarValue(ProgressBar bar, std::int32_t lValue) override { Of(bar).values.push_back(lValue); }
    void SetBarIndeterminate(ProgressBar bar, bool b) override { Of(bar).indeterminate = b; }
    void SetFileText(const std::string& strText) override { fileTexts.push_back(strText); }
    void SetSpeedText(const std::string& strText) override { speedTexts.push_back(strText); }
    void DoEvents() override;
    void ShowNow() override;
    bool CancelRequested() const override { return cancel; }

    Bar& Of(ProgressBar bar) { return bar == ProgressBar::File ? file : all; }
    const Bar& Of(ProgressBar bar) const { return bar == ProgressBar::File ? file : all; }

    Bar file;
    Bar all;
    std::vector<std::string> fileTexts;
    std::vector<std::string> speedTexts;
    int doEvents = 0;
    // Bar values and speed lines as the last ShowNow found them.
    std::int32_t shownFileValue = -1;
    std::int32_t shownAllValue = -1;
    std::string shownSpeedText;
    bool cancel = false;
    std::function<void(int)> onDoEvents;  // given the number of this call, from 1
};

struct FakeResponse {
    std::optional<std::string> contentLength;  // nullopt: no header
    std::string status = "200";
    std::string body;
    std::optional<std::size_t> failReadAt;  // a read starting at this offset fails
};

class FakeUrlOpener : public IUrlOpener {
public:
    std::unique_ptr<IUrlDownload> OpenUrl(const std::string& url) override;

    // A response with the body and its true length.
    void Serve(const std::string& url, const std::string& body);
    std::map<std::string, FakeResponse> responses;  // urls not listed cannot be opened
    std::vector<std::string> opened;
    std::vector<std::uint32_t> readSizes;  // capacity asked for by every read
};

class FakeOutputFiles : public IOutputFiles {
public:
    explicit FakeOutputFiles(FakeFileSystem& fileSystem) : fileSystem_(fileSystem) {}
    std::unique_ptr<IOutputFile> Create(const std::string& path, std::string& error) override;

    std::string createFailure;                  // when set, Create fails with it
    std::optional<std::size_t> failWriteAfter;  // total bytes a file accepts before a write fails
    std::vector<std::string> closed;            // paths, in order

private:
    FakeFileSystem& fileSystem_;
};

class FakeInstallProcesses : public IInstallProcesses {
public:
    bool RunMinimisedAndWait(const std::string& commandLine, std::string& error) override;
    void StartMinimised(const std::string& commandLine) override { started.push_back(commandLine); }

    std::vector<std::string> waited;
    std::vector<std::string> started;
    std::string runFailure;                         // when set, RunMinimisedAndWait fails with it
    std::function<void(const std::string&)> onRun;  // what the archiver does
};

// "N B" below 1024, else kilobytes with one decimal ("12.3 KB").
class FakeSizeFormatter : public ISizeFormatter {
public:
    std::string FormatByteSize(std::int64_t bytes) override;
};

}  // namespace launcher

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
    std::map<std::string, std::string> headers;
};

struct RangeRequest {
    std::string url;
    std::int64_t offset = 0;
    std::string ifRange;
    bool operator==(const RangeRequest&) const = default;
};

// Serves `responses` as a server would: a ranged request gets 206 with the
// rest of the body and its Content-Range, or the whole body with 200 when
// If-Range names neither the ETag nor the Last-Modified of the response, or
// when ranges are switched off.
class FakeUrlOpener : public IUrlOpener {
public:
    std::unique_ptr<IUrlDownload> OpenUrl(const std::string& url) override;
    std::unique_ptr<IUrlDownload> OpenUrlFrom(const std::string& url, std::int64_t offset,
                                              const std::string& ifRange) override;

    // A response with the body and its true length.
    void Serve(const std::string& url, const std::string& body);
    std::map<std::string, FakeResponse> responses;  // urls not listed cannot be opened
    bool honoursRanges = true;
    std::vector<std::string> opened;       // every URL opened, ranged or not
    std::vector<RangeRequest> ranged;      // the ranged requests only
    std::vector<std::uint32_t> readSizes;  // capacity asked for by every read
    std::size_t bytesServed = 0;           // body bytes read by the client
};

class FakeOutputFiles : public IOutputFiles {
public:
    explicit FakeOutputFiles(FakeFileSystem& fileSystem) : fileSystem_(fileSystem) {}
    std::unique_ptr<IOutputFile> Create(const std::string& path, std::string& error) override;
    std::unique_ptr<IOutputFile> Append(const std::string& path, std::string& error) override;

    std::string createFailure;                  // when set, Create fails with it
    std::optional<std::size_t> failWriteAfter;  // total bytes a file accepts before a write fails
    std::vector<std::string> closed;            // paths, in order
    std::vector<std::string> appended;          // paths opened by Append

private:
    FakeFileSystem& fileSystem_;
};

class FakeInstallProcesses : public IInstallProcesses {
public:
    bool RunAndWait(const std::string& commandLine, HelperWindow window, std::uint32_t timeoutMs,
                    std::uint32_t& exitCode, std::string& error) override;

    // The command lines that start with "regsvr32".
    std::vector<std::string> Registrations() const;

    std::vector<std::string> waited;    // every command line, in order
    std::vector<HelperWindow> windows;  // how each was shown
    std::string runFailure;             // when set, RunAndWait fails with it
    // What the program does; its exit code (0 when not set).
    std::function<void(const std::string&)> onRun;
    std::function<std::uint32_t(const std::string&)> exitCode;
};

// "N B" below 1024, else kilobytes with one decimal ("12.3 KB").
class FakeSizeFormatter : public ISizeFormatter {
public:
    std::string FormatByteSize(std::int64_t bytes) override;
};

}  // namespace launcher

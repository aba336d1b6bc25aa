#include "ArchiveDownload.h"

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

#include "DownloadTexts.h"
#include "ResumeRecord.h"
#include "Sha256.h"
#include "clsCount.h"
#include "common/AppError.h"
#include "common/NumberText.h"

namespace launcher {
namespace {

constexpr const char* kNoticeTitle = "提示";
constexpr unsigned kWarningBox = mb::IconExclamation | mb::SystemModal;

// The announced length when it is a usable byte count, else 0.
std::int32_t UsableLength(const std::string& text) {
    const double length = std::floor(qv::LeadingNumber(text));
    if (!(length >= 1) || length > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(length);
}

int StatusOf(IUrlDownload& url) { return static_cast<int>(qv::LeadingNumber(url.QueryStatusCode())); }

void DeleteIfExists(IFileSystem& fileSystem, const std::string& path) {
    std::string ignored;
    if (fileSystem.FileSize(path) >= 0) fileSystem.DeleteFile(path, ignored);
}

enum class Transfer { Complete, Failed, Cancelled };

// The blocks of one open URL into one open file, `received` counting from
// what the file already held. Speed is only shown: a counter that overflows
// (past 2 GB) keeps the last speed.
Transfer CopyBlocks(IUrlDownload& url, IOutputFile& file, std::int32_t lLength, std::int64_t& received, int nFileOrder,
                    Sha256* digest, UpdateServices& s) {
    std::array<char, kDownloadBlockSize> buffer{};
    clsCount counter(s.clock);
    counter.Clear();
    std::int32_t speed = 0;
    for (;;) {
        std::uint32_t read = 0;
        if (!url.ReadBlock(buffer.data(), kDownloadBlockSize, read)) return Transfer::Failed;
        if (read == 0) break;
        std::string error;
        if (!file.Write(buffer.data(), read, error)) return Transfer::Failed;
        if (digest) digest->Update(buffer.data(), read);
        received += read;
        try {
            counter.Count(static_cast<std::int32_t>(read));
            speed = counter.Speed();
        } catch (const qv::AppError&) {}
        std::int64_t shown = received;
        std::int32_t overall = (nFileOrder - 1) * 100;
        if (lLength > 0) {
            std::int32_t lTotal = static_cast<std::int32_t>(std::min<std::int64_t>(received, lLength));
            RefreshProbarValue(s.view, ProgressBar::File, lTotal);
            shown = lTotal;
            overall += FilePercent(lTotal, lLength);
        }
        RefreshProbarValue(s.view, ProgressBar::All, overall);
        s.view.SetSpeedText(SpeedLine(shown, speed, s.sizeFormatter));
        s.view.DoEvents();
        if (s.view.CancelRequested()) return Transfer::Cancelled;
    }
    return lLength > 0 && received < lLength ? Transfer::Failed : Transfer::Complete;
}

// An open transfer: a fresh one from the first byte, or the rest of a partial archive.
struct OpenTransfer {
    std::unique_ptr<IUrlDownload> url;
    std::int64_t offset = 0;
    std::int32_t lLength = 0;
};

// The rest of the partial archive, when its record allows it and the server
// answers with exactly that rest; a whole file when the server sends one
// instead (offset 0); else nothing, and the caller starts again.
OpenTransfer TryResume(const std::string& surl, const std::string& strFile, const std::string& strSHA256,
                       UpdateServices& s) {
    std::string text, error;
    if (s.fileSystem.FileSize(strFile + ".resume") < 0 ||
        !s.fileSystem.ReadTextFile(strFile + ".resume", text, error)) {
        return {};
    }
    const auto record = ParseResumeRecord(text);
    const std::int64_t partial = s.fileSystem.FileSize(strFile);
    if (!record || record->length > std::numeric_limits<std::int32_t>::max()) return {};
    const auto condition = ResumeCondition(*record, surl, strSHA256, partial);
    if (!condition) return {};
    auto url = s.urls.OpenUrlFrom(surl, partial, *condition);
    if (!url) return {};
    const int status = StatusOf(*url);
    if (status == 206 && RangeContinues(url->QueryHeader("Content-Range"), partial, record->length)) {
        return {std::move(url), partial, static_cast<std::int32_t>(record->length)};
    }
    if (status == 200) {
        const std::int32_t lLength = UsableLength(url->QueryContentLength());
        return {std::move(url), 0, lLength};
    }
    return {};
}

bool HashExisting(const std::string& strFile, Sha256& digest, IFileSystem& fileSystem) {
    std::string error;
    return fileSystem.ReadFileBytes(
        strFile, [&digest](const char* data, std::size_t size) { digest.Update(data, size); }, error);
}

// Keeps what arrived when the next run may continue it; else removes it.
void KeepIfResumable(const std::string& strFile, bool bRecorded, std::int64_t received, IFileSystem& fileSystem) {
    if (bRecorded && received > 0) return;
    DeleteIfExists(fileSystem, strFile);
    DeleteIfExists(fileSystem, strFile + ".resume");
}

}  // namespace

void ReportUpdateError(UpdateServices& s) {
    s.waitWindow.HideForm();
    s.messageBox.Show("系统文件升级出现错误。", kNoticeTitle, kWarningBox);
}

void PrepareDownloadView(IDownloadView& view, int nCount) {
    view.SetBarRange(ProgressBar::All, 0, 100 * nCount);
    view.SetFileText("文件升级进度");
    view.SetSpeedText("");
}

void RefreshProbarValue(IDownloadView& view, ProgressBar bar, std::int32_t& lValue) {
    const std::int32_t lMin = view.BarMin(bar);
    const std::int32_t lMax = view.BarMax(bar);
    if (lValue < lMin) lValue = lMin;
    if (lValue > lMax) lValue = lMax;
    view.SetBarValue(bar, lValue);
}

bool DownloadFile(const std::string& surl, const std::string& strFile, int nFileOrder, UpdateServices& s,
                  const std::string& strSHA256) {
    OpenTransfer transfer = TryResume(surl, strFile, strSHA256, s);
    if (transfer.offset == 0) {
        DeleteIfExists(s.fileSystem, strFile + ".resume");
        DeleteIfExists(s.fileSystem, strFile);
    }
    if (!transfer.url) {
        transfer.url = s.urls.OpenUrl(surl);
        if (!transfer.url) {
            LogEvent(s.log, "transfer " + surl + ": cannot be opened");
            s.waitWindow.HideForm();
            s.messageBox.Show("可能网络不稳定，目前无法下载文件。", kNoticeTitle, kWarningBox);
            return false;
        }
        transfer.lLength = UsableLength(transfer.url->QueryContentLength());
        if (StatusOf(*transfer.url) != 200) {
            LogEvent(s.log, "transfer " + surl + ": HTTP status \"" + transfer.url->QueryStatusCode() + "\"");
            ReportUpdateError(s);
            return false;
        }
    }
    IUrlDownload& url = *transfer.url;
    const std::int32_t lLength = transfer.lLength;
    s.view.SetBarIndeterminate(ProgressBar::File, lLength == 0);
    s.view.SetBarRange(ProgressBar::File, 0, lLength);
    std::string error;
    const bool resuming = transfer.offset > 0;
    // The kept part is read before it is opened for writing: a file being written is shared with no reader.
    Sha256 digest;
    if (resuming && !strSHA256.empty() && !HashExisting(strFile, digest, s.fileSystem)) {
        ReportUpdateError(s);
        return false;
    }
    const auto file = resuming ? s.outputFiles.Append(strFile, error) : s.outputFiles.Create(strFile, error);
    if (!file) {
        ReportUpdateError(s);
        return false;
    }
    // Only a transfer of known length can tell that it ended early.
    const bool recorded =
        resuming ||
        (lLength > 0 &&
         s.fileSystem.WriteTextFile(
             strFile + ".resume",
             FormatResumeRecord({surl, lLength, strSHA256, url.QueryHeader("ETag"), url.QueryHeader("Last-Modified")}),
             error));
    if (resuming) LogEvent(s.log, "transfer " + surl + ": continued from byte " + std::to_string(transfer.offset));
    std::int64_t received = transfer.offset;
    const std::uint32_t started = s.clock.TickCount();
    const Transfer outcome =
        CopyBlocks(url, *file, lLength, received, nFileOrder, strSHA256.empty() ? nullptr : &digest, s);
    const std::uint32_t elapsed = s.clock.TickCount() - started;
    s.view.ShowNow();
    const bool closed = file->Close(error);
    const std::string receivedDigest =
        outcome == Transfer::Complete && !strSHA256.empty() ? digest.HexDigest() : "";  // readable once
    constexpr const char* kOutcomes[] = {"complete", "broken off", "cancelled"};
    LogEvent(s.log, TransferLogLine({surl, strFile, kOutcomes[static_cast<int>(outcome)], received, lLength, elapsed,
                                     closed ? "" : error, strSHA256, receivedDigest}));
    if (outcome == Transfer::Cancelled) {
        KeepIfResumable(strFile, recorded && closed, received, s.fileSystem);
        return false;
    }
    if (outcome == Transfer::Failed || !closed) {
        KeepIfResumable(strFile, recorded && closed, received, s.fileSystem);
        ReportUpdateError(s);
        return false;
    }
    DeleteIfExists(s.fileSystem, strFile + ".resume");
    if (!strSHA256.empty() && receivedDigest != strSHA256) {
        DeleteIfExists(s.fileSystem, strFile);
        ReportUpdateError(s);
        return false;
    }
    return true;
}

}  // namespace launcher

#include "UpdateFiles.h"

#include <array>
#include <cmath>
#include <limits>

#include "common/AppError.h"
#include "DownloadTexts.h"
#include "LocalFolder.h"
#include "common/NumberText.h"
#include "Sha256.h"
#include "common/TextCase.h"
#include "clsCount.h"
#include "modCompressFile.h"

namespace launcher {
namespace {

constexpr const char* kNoticeTitle = "提示";
constexpr unsigned kWarningBox = mb::IconExclamation | mb::SystemModal;
constexpr const char* kUpdateError = "系统文件升级出现错误。";

void ReportUpdateError(UpdateServices& s) {
    s.waitWindow.HideForm();
    s.messageBox.Show(kUpdateError, kNoticeTitle, kWarningBox);
}

bool DeleteIfExists(IFileSystem& fileSystem, const std::string& path) {
    std::string error;
    return !fileSystem.FileExists(path) || fileSystem.DeleteFile(path, error);
}

// The announced length when it is a usable byte count, else 0.
std::int32_t UsableLength(const std::string& text) {
    const double length = std::floor(qv::LeadingNumber(text));
    if (!(length >= 1) || length > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(length);
}

bool IsProgramName(const std::string& name) {
    if (name.size() < 4) return false;
    const std::string ending = qv::AsciiLower(name.substr(name.size() - 4));
    return ending == ".exe" || ending == ".dll";
}

// The blocks of one open URL into one open file. Speed is only shown: a
// counter that overflows (past 2 GB) keeps the last speed.
enum class Transfer { Complete, Failed, Cancelled };
constexpr const char* kTransferOutcomes[] = {"complete", "broken off", "cancelled"};

// `digest` is fed only when the archive's digest is to be checked.
Transfer CopyBlocks(IUrlDownload& url, IOutputFile& file, std::int32_t lLength, int nFileOrder, Sha256* digest,
                    UpdateServices& s, std::int64_t& received) {
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

}  // namespace

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
    const auto url = s.urls.OpenUrl(surl);
    if (!url) {
        LogEvent(s.log, "transfer " + surl + ": cannot be opened");
        s.waitWindow.HideForm();
        s.messageBox.Show("可能网络不稳定，目前无法下载文件。", kNoticeTitle, kWarningBox);
        return false;
    }
    const std::int32_t lLength = UsableLength(url->QueryContentLength());
    if (qv::LeadingNumber(url->QueryStatusCode()) != 200) {
        LogEvent(s.log, "transfer " + surl + ": HTTP status \"" + url->QueryStatusCode() + "\"");
        ReportUpdateError(s);
        return false;
    }
    s.view.SetBarIndeterminate(ProgressBar::File, lLength == 0);
    s.view.SetBarRange(ProgressBar::File, 0, lLength);
    std::string error;
    if (!DeleteIfExists(s.fileSystem, strFile)) {
        ReportUpdateError(s);
        return false;
    }
    const auto file = s.outputFiles.Create(strFile, error);
    if (!file) {
        ReportUpdateError(s);
        return false;
    }
    Sha256 digest;
    std::int64_t received = 0;
    const std::uint32_t started = s.clock.TickCount();
    const Transfer outcome =
        CopyBlocks(*url, *file, lLength, nFileOrder, strSHA256.empty() ? nullptr : &digest, s, received);
    const std::uint32_t elapsed = s.clock.TickCount() - started;
    s.view.ShowNow();
    const bool closed = file->Close(error);
    const std::string receivedDigest = strSHA256.empty() ? "" : digest.HexDigest();  // readable once
    const bool intact = strSHA256.empty() || receivedDigest == strSHA256;
    LogEvent(s.log,
             TransferLogLine({surl, strFile, kTransferOutcomes[static_cast<int>(outcome)], received, lLength, elapsed,
                              closed ? "" : error, strSHA256, outcome == Transfer::Complete ? receivedDigest : ""}));
    if (outcome == Transfer::Cancelled) return false;
    if (outcome == Transfer::Failed || !closed || !intact) {
        ReportUpdateError(s);
        return false;
    }
    return true;
}

bool UpdateFiles(const UpdateFileList& cltUpdateFiles, UpdateServices& s) {
    const int nCount = static_cast<int>(cltUpdateFiles.size());
    const std::string archiver = s.launcherFolder + kArchiverFile;
    int nPosition = 0;
    for (const auto& entry : cltUpdateFiles) {
        const std::string folder = LocalFolder(*entry, s.launcherFolder, s.system);
        const std::string localFile = folder + entry->cFileName;
        const std::string archive = localFile + ".comps";
        if (IsProgramName(entry->cFileName) && s.processes.IsProcessRunning(entry->cFileName)) {
            LogEvent(s.log, "not updated: " + entry->cFileName + " is running");
            s.waitWindow.HideForm();
            s.messageBox.Show("系统需要升级，请先关闭正在运行中的Quorvel（及其子程序）后重新启动。", kNoticeTitle,
                              mb::IconInformation | mb::SystemModal);
            return false;
        }
        if (!DeleteIfExists(s.fileSystem, localFile) || !DeleteIfExists(s.fileSystem, archive)) {
            ReportUpdateError(s);
            return false;
        }
        s.view.DoEvents();
        ++nPosition;
        std::int32_t lZero = 0;
        RefreshProbarValue(s.view, ProgressBar::File, lZero);
        s.view.SetFileText(FileLine(nPosition, nCount, entry->cFileName));
        const std::string surl = entry->cDownLoadPath + "/" + entry->cFileName + ".comps";
        if (!DownloadFile(surl, archive, nPosition, s, entry->cSHA256) ||
            !UnCompressFile(archiver, archive, folder, s.installProcesses, s.waitWindow, s.messageBox, s.log)) {
            DeleteIfExists(s.fileSystem, archive);
            return false;
        }
        if (!DeleteIfExists(s.fileSystem, archive)) {
            ReportUpdateError(s);
            return false;
        }
        if (entry->cIfReg) s.installProcesses.StartMinimised("regsvr32 /s \"" + localFile + "\"");
        if (entry->cIfReg) LogEvent(s.log, "regsvr32 /s \"" + localFile + "\" started");
    }
    return true;
}

}  // namespace launcher

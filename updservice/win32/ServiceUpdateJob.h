#pragma once
// The service's update job on the real platform: the launcher's Windows
// layer (files, WinINet, MSXML, the archiver and regsvr32, signatures) under
// the service's account, with its events in the service's log.
#include "ServiceLog.h"
#include "ServiceRunLog.h"
#include "launcher/win32/CngSignatureVerifier.h"
#include "launcher/win32/MsxmlHttpClient.h"
#include "launcher/win32/ShellSizeFormatter.h"
#include "launcher/win32/Win32FileSystem.h"
#include "launcher/win32/Win32OutputFiles.h"
#include "launcher/win32/WinClock.h"
#include "launcher/win32/WinInetDownload.h"
#include "launcher/win32/WinInstallProcesses.h"
#include "launcher/win32/WinProcesses.h"
#include "launcher/win32/WinRandom.h"
#include "launcher/win32/WinSystemInfo.h"
#include "updservice/LauncherUpdateJob.h"

namespace updservice::win {

class ServiceUpdateJob final : public IUpdateJob {
public:
    explicit ServiceUpdateJob(ServiceLog& log);
    // Runs on a connection's thread, in its own COM apartment.
    ResultRecord Run(const UpdatePermit& permit, IRecordSink& sink, const std::atomic<bool>& cancel) override;

private:
    ServiceRunLog log_;
    launcher::win::Win32FileSystem fileSystem_;
    launcher::win::WinProcesses processes_;
    launcher::win::WinClock clock_;
    launcher::win::WinRandom random_;
    launcher::win::MsxmlHttpClient http_{&log_};
    launcher::win::WinSystemInfo system_;
    launcher::win::WinInstallProcesses installProcesses_;
    launcher::win::WinInetUrlOpener urls_;
    launcher::win::Win32OutputFiles outputFiles_;
    launcher::win::ShellSizeFormatter sizeFormatter_;
    launcher::win::CngSignatureVerifier verifier_;
};

}  // namespace updservice::win

#include "ServiceUpdateJob.h"

#include "common/win32/ComApartment.h"
#include "launcher/ExitStatus.h"

namespace updservice::win {

ServiceUpdateJob::ServiceUpdateJob(ServiceLog& log) : log_(log) {}

ResultRecord ServiceUpdateJob::Run(const UpdatePermit& permit, IRecordSink& sink, const std::atomic<bool>& cancel) {
    const qv::win::ComApartment apartment(COINIT_MULTITHREADED);
    LauncherUpdateJob job(JobPlatform{RelayPlatform{processes_, fileSystem_, system_, clock_, urls_, outputFiles_,
                                                    installProcesses_, sizeFormatter_, &log_},
                                      random_, http_, verifier_});
    try {
        return job.Run(permit, sink, cancel);
    } catch (const std::exception& failure) {
        log_.Write(std::string("unexpected failure: ") + failure.what());
        return {ResultCode::Failed, failure.what(),
                static_cast<std::uint32_t>(launcher::ExitStatus(launcher::MainEnd::UnexpectedFailure))};
    }
}

}  // namespace updservice::win

#include "ServiceUpdateJob.h"

#include <objbase.h>

namespace updservice::win {
namespace {

class ComApartment {
public:
    ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT hr_;
};

}  // namespace

ServiceUpdateJob::ServiceUpdateJob(ServiceLog& log) : log_(log) {}

ResultRecord ServiceUpdateJob::Run(const UpdatePermit& permit, IRecordSink& sink, const std::atomic<bool>& cancel) {
    const ComApartment apartment;
    LauncherUpdateJob job(JobPlatform{RelayPlatform{processes_, fileSystem_, system_, clock_, urls_, outputFiles_,
                                                    installProcesses_, sizeFormatter_, &log_},
                                      random_, http_, verifier_});
    try {
        return job.Run(permit, sink, cancel);
    } catch (const std::exception& failure) {
        log_.Write(std::string("unexpected failure: ") + failure.what());
        return {ResultCode::Failed, failure.what(), 21};
    }
}

}  // namespace updservice::win

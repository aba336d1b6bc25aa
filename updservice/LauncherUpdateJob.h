#pragma once
// The update as the service runs it: the launcher's own sequence (repair of
// an interrupted update, the signed request, staging, the switch, the version
// file) with the machine's settings, every entry's target checked before
// anything changes, and the windows and boxes relayed to the client.
#include "RelayWindows.h"
#include "UpdateJob.h"
#include "launcher/PublisherKeys.h"

namespace updservice {

struct JobPlatform {
    RelayPlatform relay;
    launcher::IRandom& random;
    launcher::IHttpClient& http;
    launcher::ISignatureVerifier& verifier;
};

class LauncherUpdateJob final : public IUpdateJob {
public:
    explicit LauncherUpdateJob(JobPlatform platform) : platform_(platform) {}
    ResultRecord Run(const UpdatePermit& permit, IRecordSink& sink, const std::atomic<bool>& cancel) override;

private:
    JobPlatform platform_;
};

}  // namespace updservice

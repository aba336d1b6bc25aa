#pragma once
// The service's answer to one connection: reads its request, lets one update
// run at a time (a request meanwhile is answered "busy" at once, so no client
// waits on another's download), checks what the machine allows and runs the job.
#include <atomic>
#include <mutex>
#include <span>

#include "UpdateAuthority.h"
#include "UpdateJob.h"

namespace updservice {

class UpdateDesk {
public:
    UpdateDesk(launcher::ISettingsSource& settings, IInstallDirSource& installDir, IUpdateJob& job);

    // `message` is the connection's first message; the records of the update
    // go to `sink`, and the result is the connection's last record.
    ResultRecord Serve(std::span<const unsigned char> message, IRecordSink& sink, const std::atomic<bool>& cancel);

private:
    launcher::ISettingsSource& settings_;
    IInstallDirSource& installDir_;
    IUpdateJob& job_;
    std::mutex running_;
};

}  // namespace updservice

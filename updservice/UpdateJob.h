#pragma once
// The update that the service runs for a client, behind a small interface so
// that the service's connection handling does not depend on how it is done.
#include <atomic>
#include <string>
#include <vector>

#include "UpdateRecords.h"
#include "launcher/Platform.h"
#include "launcher/PublisherKeys.h"

namespace updservice {

// What the service's checks allow an update to use.
struct UpdatePermit {
    std::string installFolder;  // as CheckInstallFolder gives it
    launcher::LauncherSettings settings;
    std::vector<launcher::PublicKeyBytes> keys;  // never empty
};

class IRecordSink {
public:
    virtual ~IRecordSink() = default;
    // Passes a record on to the client; once the client has gone, records are
    // dropped and the update goes on.
    virtual void Send(const Record& record) = 0;
};

class IUpdateJob {
public:
    virtual ~IUpdateJob() = default;
    // Runs the whole update; `cancel` turns true when the client cancels or
    // the service stops. The result is the connection's last record.
    virtual ResultRecord Run(const UpdatePermit& permit, IRecordSink& sink, const std::atomic<bool>& cancel) = 0;
};

}  // namespace updservice

#pragma once
// The update job of this build: the service checks and answers every request,
// but performing the update itself is not part of it yet.
#include "UpdateJob.h"

namespace updservice {

class UnavailableUpdateJob final : public IUpdateJob {
public:
    ResultRecord Run(const UpdatePermit& permit, IRecordSink& sink, const std::atomic<bool>& cancel) override;
};

}  // namespace updservice

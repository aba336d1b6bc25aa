#pragma once
// The records that arrived from the service and were not yet taken, filled by
// a reader that never waits for the taker: a box left open in the launcher must
// not stall the service's writes. Progress records describe the download window
// as it stands, so a newer one replaces one still waiting behind it.
#include <deque>
#include <mutex>
#include <optional>

#include "ServiceLink.h"

namespace updservice {

class RecordQueue {
public:
    void Push(Incoming incoming);
    std::optional<Incoming> Pop();

private:
    std::mutex mutex_;
    std::deque<Incoming> waiting_;
};

}  // namespace updservice

#pragma once
// The launcher's end of the update service's pipe, as the delegated update uses it.
#include <cstdint>
#include <optional>
#include <string>

#include "UpdateRecords.h"

namespace updservice {

enum class LinkStatus { Ok, TimedOut, Closed, BadRecord, Failed };

struct Incoming {
    LinkStatus status = LinkStatus::Failed;
    std::optional<Record> record;  // with Ok
    std::string error;             // the reason, for the log and the box
};

class IServiceLink {
public:
    virtual ~IServiceLink() = default;
    // True when the settings come from the machine's key, whose installation
    // folder is the launcher's own, and the service answers on its pipe; the
    // connection then stays open.
    virtual bool Open() = 0;
    virtual bool Send(const Record& record) = 0;
    // The next record, waiting at most `milliseconds`; the caller's windows
    // stay responsive meanwhile. TimedOut leaves the connection usable.
    virtual Incoming Receive(std::uint32_t milliseconds) = 0;
};

}  // namespace updservice

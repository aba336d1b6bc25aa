#pragma once
// Reads one pipe message as one record, refusing anything else with a reason.
#include <optional>
#include <span>
#include <string>

#include "UpdateRecords.h"

namespace updservice {

struct ReadOutcome {
    std::optional<Record> record;
    std::string error;  // why there is no record
};

// The message must be exactly one record: the magic, version 1, a known kind,
// a body length that matches the message and stays within kMaxRecordSize, and
// a body holding that kind's fields and nothing more. Never reads outside
// `message`.
ReadOutcome ReadRecord(std::span<const unsigned char> message);

}  // namespace updservice

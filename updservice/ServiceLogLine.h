#pragma once
// The service log's line for one connection: the client's process, the
// result's code and reason, tab-separated, with line breaks in the reason
// made blanks so that every request stays one line.
#include <cstdint>
#include <string>

#include "UpdateRecords.h"

namespace updservice {

std::string ServiceLogLine(std::uint32_t clientProcess, const ResultRecord& result);

}  // namespace updservice

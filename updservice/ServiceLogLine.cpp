#include "ServiceLogLine.h"

#include <algorithm>

namespace updservice {

std::string ServiceLogLine(std::uint32_t clientProcess, const ResultRecord& result) {
    std::string reason = result.reason;
    std::replace_if(
        reason.begin(), reason.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
    return "client " + std::to_string(clientProcess) + "\t" + ResultCodeName(result.code) + "\t" + reason;
}

}  // namespace updservice

#include "FileValidators.h"

#include <ctime>

namespace testbed {

Validators ValidatorsOf(long long size, std::chrono::system_clock::time_point changed) {
    using namespace std::chrono;
    const auto nanoseconds = duration_cast<std::chrono::nanoseconds>(changed.time_since_epoch()).count();
    const std::time_t seconds = system_clock::to_time_t(time_point_cast<system_clock::duration>(changed));
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char date[64] = {};
    std::strftime(date, sizeof date, "%a, %d %b %Y %H:%M:%S GMT", &utc);
    return {"\"" + std::to_string(size) + "-" + std::to_string(nanoseconds) + "\"", date};
}

}  // namespace testbed

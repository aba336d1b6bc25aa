#pragma once
// The validators a download carries, from the file's size and time of change.
#include <chrono>
#include <string>

namespace testbed {

struct Validators {
    std::string etag;          // strong: changes with the size or the time of change
    std::string lastModified;  // an HTTP date, to the second
};

Validators ValidatorsOf(long long size, std::chrono::system_clock::time_point changed);

}  // namespace testbed

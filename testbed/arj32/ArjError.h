#pragma once
#include <stdexcept>
#include <string>

namespace arj {

// A damaged, truncated or unsupported archive, or an output that cannot be written.
class ArjError : public std::runtime_error {
public:
    explicit ArjError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace arj

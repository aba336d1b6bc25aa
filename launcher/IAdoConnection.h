#pragma once
// The caller's database connection object, not yet open. The Windows layer
// wraps an ADO connection; Open returns false with the error's description
// instead of raising it.
#include <string>

namespace launcher {

class IAdoConnection {
public:
    virtual ~IAdoConnection() = default;
    virtual bool Open(const std::string& connectionString, const std::string& userId, const std::string& password,
                      long options, std::string& errorDescription) = 0;
};

}  // namespace launcher

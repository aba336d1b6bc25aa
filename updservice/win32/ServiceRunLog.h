#pragma once
// The update's events in the service's log: each line names the service's
// process, so that a reader can tell which process replaced a file.
#include <string>
#include <vector>

#include "ServiceLog.h"
#include "launcher/RunLog.h"

namespace updservice::win {

class ServiceRunLog final : public launcher::IRunLog {
public:
    explicit ServiceRunLog(ServiceLog& log) : log_(log) {}
    void Write(std::string_view event) noexcept override;
    void Conceal(std::string_view secret) noexcept override;

private:
    ServiceLog& log_;
    std::vector<std::string> secrets_;
};

}  // namespace updservice::win

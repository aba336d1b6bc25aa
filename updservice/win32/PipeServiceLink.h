#pragma once
// The launcher's link to the machine's update service: used only when the
// settings come from the machine's key (a package installation), the
// launcher is the one in the folder that the service updates, and the service
// answers on its pipe. While it waits for a record it keeps the
// launcher's windows responsive.
#include <memory>
#include <string>

#include "UpdateServiceClient.h"
#include "updservice/ServiceLink.h"

namespace updservice::win {

class PipeServiceLink final : public IServiceLink {
public:
    // `launcherFolder`: only an installation in the folder the service updates is handed over.
    explicit PipeServiceLink(std::string launcherFolder) : launcherFolder_(std::move(launcherFolder)) {}

    static constexpr DWORD kConnectMs = 3000;
    static constexpr DWORD kSendMs = 5000;

    bool Open() override;
    bool Send(const Record& record) override;
    Incoming Receive(std::uint32_t milliseconds) override;

private:
    std::string launcherFolder_;
    UpdateServiceClient client_;
    std::unique_ptr<PendingRead> read_;  // a read left waiting by a Receive that timed out
};

}  // namespace updservice::win

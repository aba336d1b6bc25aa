#pragma once
// The launcher's link to the machine's update service: used only when the
// settings come from the machine's key (a package installation) and the
// service answers on its pipe. While it waits for a record it keeps the
// launcher's windows responsive.
#include <memory>

#include "UpdateServiceClient.h"
#include "updservice/ServiceLink.h"

namespace updservice::win {

class PipeServiceLink final : public IServiceLink {
public:
    static constexpr DWORD kConnectMs = 3000;
    static constexpr DWORD kSendMs = 5000;

    bool Open() override;
    bool Send(const Record& record) override;
    Incoming Receive(std::uint32_t milliseconds) override;

private:
    UpdateServiceClient client_;
    std::unique_ptr<PendingRead> read_;  // a read left waiting by a Receive that timed out
};

}  // namespace updservice::win

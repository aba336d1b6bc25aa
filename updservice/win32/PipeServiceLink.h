#pragma once
// The launcher's link to the machine's update service: used only when the
// settings come from the machine's key (a package installation), the
// launcher is the one in the folder that the service updates, and the service
// answers on its pipe. A reader thread takes every record as it comes, so
// that the service's writes never wait for the launcher (a box may be open for
// minutes); while Receive waits, the launcher's windows stay responsive.
#include <string>
#include <thread>

#include "UpdateServiceClient.h"
#include "common/win32/UniqueHandle.h"
#include "updservice/RecordQueue.h"
#include "updservice/ServiceLink.h"

namespace updservice::win {

class PipeServiceLink final : public IServiceLink {
public:
    static constexpr DWORD kConnectMs = 3000;
    static constexpr DWORD kSendMs = 5000;

    // `launcherFolder`: only an installation in the folder the service updates is handed over.
    explicit PipeServiceLink(std::string launcherFolder) : launcherFolder_(std::move(launcherFolder)) {}
    ~PipeServiceLink() override;
    PipeServiceLink(const PipeServiceLink&) = delete;
    PipeServiceLink& operator=(const PipeServiceLink&) = delete;

    bool Open() override;
    bool Send(const Record& record) override;
    Incoming Receive(std::uint32_t milliseconds) override;

private:
    void ReadAll() noexcept;

    std::string launcherFolder_;
    UpdateServiceClient client_;
    RecordQueue queue_;
    qv::win::UniqueHandle arrived_;  // set whenever the reader queued something
    qv::win::UniqueHandle stop_;
    std::thread reader_;
};

}  // namespace updservice::win

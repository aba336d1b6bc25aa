#pragma once
// The launcher's side of an update done by the update service: the request,
// then every record shown as the launcher's own windows and boxes show the
// same update in-process (the wait window's line, the download window's bars
// and lines, the boxes); Cancel in the download window cancels the service's
// update. A service silent for longer than any of its steps may take, or a
// broken connection, ends the update with a box.
#include "ServiceLink.h"
#include "launcher/modMain.h"

namespace updservice {

// Longer than the archiver's limit, the longest step without a record.
inline constexpr std::uint32_t kServiceSilenceMs = 35 * 60 * 1000;

class DelegatedUpdate final : public launcher::IUpdateDelegate {
public:
    DelegatedUpdate(IServiceLink& link, launcher::IClock& clock, launcher::IRunLog* log,
                    std::uint32_t silenceMs = kServiceSilenceMs)
        : link_(link), clock_(clock), log_(log), silenceMs_(silenceMs) {}

    bool Available() override { return link_.Open(); }
    launcher::MainEnd Update(launcher::IWaitWindow& waitWindow, launcher::IWindowFactory& windows,
                             launcher::IMessageBox& messageBox) override;

private:
    IServiceLink& link_;
    launcher::IClock& clock_;
    launcher::IRunLog* log_;
    std::uint32_t silenceMs_;
};

}  // namespace updservice

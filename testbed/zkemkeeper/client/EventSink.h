#pragma once
// Receives the control's events through IDispatch::Invoke and keeps each
// event's identifier and first argument, in order of arrival.
#include <utility>
#include <vector>

#include "common/win32/com/DispatchSink.h"
#include <oaidl.h>

namespace zkem {

class EventSink final : public qv::win::com::DispatchSink {
public:
    explicit EventSink(const IID& events) : DispatchSink(events) {}

    // (identifier, first argument as a whole number or -1) of every event since the last call.
    std::vector<std::pair<long, long>> Take() { return std::exchange(events_, {}); }
    std::size_t Count() const { return events_.size(); }

private:
    HRESULT OnEvent(DISPID id, DISPPARAMS& params, VARIANT*) override;

    std::vector<std::pair<long, long>> events_;
};

}  // namespace zkem

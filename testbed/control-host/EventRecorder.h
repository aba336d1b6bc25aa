#pragma once
// The container's sink for a control's default event interface: records
// every event in the journal and applies the journal's by-reference rules.
#include <memory>
#include <string>

#include "common/win32/com/DispatchSink.h"
#include "HostJournal.h"
#include <oaidl.h>
#include <ocidl.h>

namespace control_host {

class EventRecorder final : public qv::win::com::DispatchSink {
public:
    // `events` names the events; it may be empty.
    EventRecorder(std::string control, const IID& eventsIid, qv::win::ComPtr<ITypeInfo> events,
                  std::shared_ptr<HostJournal> journal);

private:
    HRESULT OnEvent(DISPID id, DISPPARAMS& params, VARIANT* result) override;
    std::string NameOf(DISPID id) const;
    void ApplyRules(DISPID id, DISPPARAMS& params) const;

    std::string control_;
    qv::win::ComPtr<ITypeInfo> events_;
    std::shared_ptr<HostJournal> journal_;
};

// The default source interface of a control (IProvideClassInfo2, else the
// coclass's [default, source] entry) and its type information where known.
HRESULT FindDefaultEvents(IUnknown* control, IID& iid, qv::win::ComPtr<ITypeInfo>& info);

}  // namespace control_host

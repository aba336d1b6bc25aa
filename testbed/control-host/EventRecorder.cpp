#include "EventRecorder.h"

#include "common/win32/Bstr.h"
#include "common/win32/com/TypeLibrary.h"

namespace control_host {
namespace {

using qv::win::ComPtr;

}  // namespace

HRESULT FindDefaultEvents(IUnknown* control, IID& iid, ComPtr<ITypeInfo>& info) {
    const HRESULT found = qv::win::com::DefaultEventInterface(control, info, iid);
    // A control may name its events without describing them.
    ComPtr<IProvideClassInfo2> classInfo2;
    control->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(classInfo2.Address()));
    if (classInfo2 && SUCCEEDED(classInfo2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid))) {
        return S_OK;
    }
    return found;
}

EventRecorder::EventRecorder(std::string control, const IID& eventsIid, ComPtr<ITypeInfo> events,
                             std::shared_ptr<HostJournal> journal)
    : DispatchSink(eventsIid), control_(std::move(control)), events_(std::move(events)), journal_(std::move(journal)) {}

std::string EventRecorder::NameOf(DISPID id) const {
    qv::win::Bstr name;
    UINT found = 0;
    if (events_ && SUCCEEDED(events_->GetNames(id, name.Address(), 1, &found)) && found == 1) {
        return name.ToUtf8();
    }
    return std::to_string(id);
}

void EventRecorder::ApplyRules(DISPID id, DISPPARAMS& params) const {
    if (params.cArgs == 0) {
        return;
    }
    VARIANT& first = params.rgvarg[params.cArgs - 1];
    for (const ByRefRule& rule : journal_->rules) {
        if (rule.dispid != id) {
            continue;
        }
        if (first.vt == (VT_BYREF | VT_I2) && first.piVal && *first.piVal == rule.from) {
            *first.piVal = static_cast<SHORT>(rule.to);
            return;
        }
        if (first.vt == (VT_BYREF | VT_I4) && first.plVal && *first.plVal == rule.from) {
            *first.plVal = rule.to;
            return;
        }
    }
}

HRESULT EventRecorder::OnEvent(DISPID id, DISPPARAMS& params, VARIANT*) {
    EventRecord record{control_, id, NameOf(id), {}};
    for (UINT i = params.cArgs; i-- > 0;) {
        qv::win::Variant copy;
        VariantCopyInd(copy.Address(), &params.rgvarg[i]);
        record.arguments.push_back(std::move(copy));
    }
    ApplyRules(id, params);
    journal_->events.push_back(std::move(record));
    return S_OK;
}

}  // namespace control_host

#pragma once
// Receives the control's events through IDispatch::Invoke and keeps each
// event's identifier and first argument, in order of arrival.
#include <utility>
#include <vector>

#include "common/win32/com/ComObject.h"
#include <oaidl.h>

namespace zkem {

class EventSink final : public qv::win::com::ComObject<EventSink, IDispatch> {
public:
    explicit EventSink(const IID& events) : entries_{{&events, &qv::win::com::CastTo<EventSink, IDispatch>}} {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    // (identifier, first argument as a whole number or -1) of every event since the last call.
    std::vector<std::pair<long, long>> Take() { return std::exchange(events_, {}); }
    std::size_t Count() const { return events_.size(); }

    // Only here to satisfy ComObject; QueryInterface is answered above.
    static constexpr qv::win::com::InterfaceEntry<EventSink> kInterfaces[] = {
        qv::win::com::Expose<EventSink, IDispatch>(IID_IDispatch)};

private:
    qv::win::com::InterfaceEntry<EventSink> entries_[1];
    std::vector<std::pair<long, long>> events_;
};

}  // namespace zkem

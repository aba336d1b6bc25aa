#pragma once
// An event sink: the IDispatch a client advises on a connection point. It
// answers the source interface's IID (often learned only at run time), and
// IDispatch, and hands every event to OnEvent.
//
//   class Sink final : public qv::win::com::DispatchSink {
//   public:
//       explicit Sink(const IID& events) : DispatchSink(events) {}
//   private:
//       HRESULT OnEvent(DISPID id, DISPPARAMS& params, VARIANT* result) override;
//   };
//   auto sink = qv::win::com::MakeObject<Sink>(DIID_Events);
//   point->Advise(sink->AsDispatch(), &cookie);
#include "ComObject.h"
#include <oaidl.h>

namespace qv::win::com {

class DispatchSink : public ComObject<DispatchSink, IDispatch> {
public:
    static constexpr InterfaceEntry<DispatchSink> kInterfaces[] = {Expose<DispatchSink, IDispatch>(IID_IDispatch)};

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    // A sink describes nothing: callers invoke it by identifier.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                     UINT*) final;

    IDispatch* AsDispatch() noexcept { return this; }

protected:
    explicit DispatchSink(const IID& events) : events_(events) {}
    // Arguments stand last first in params.rgvarg; `result` may be null.
    virtual HRESULT OnEvent(DISPID id, DISPPARAMS& params, VARIANT* result) = 0;

private:
    IID events_;
};

}  // namespace qv::win::com

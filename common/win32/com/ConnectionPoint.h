#pragma once
// Outgoing events: one ConnectionPoint per source interface, held as a member
// of the object that fires it. Its IUnknown is the owner's (references to the
// point keep the owner alive). The owner answers IConnectionPointContainer
// through FindConnectionPointIn / EnumConnectionPointsOf.
//
//   class Thing : ..., public IConnectionPointContainer {
//       ConnectionPoint events_{*static_cast<IThing*>(this), DIID_ThingEvents};
//       HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
//           return FindConnectionPointIn({&events_}, iid, out);
//       }
//       ... events_.Fire(1, {Variant::FromLong(7)}) ...
//   };
//
// Sinks of a dispinterface are called through IDispatch::Invoke; a sink's
// failure does not stop the others. Sinks of a vtable interface (such as
// IPropertyNotifySink) are reached through Sinks(). The owner calls Clear()
// when it goes.
#include <initializer_list>
#include <span>
#include <vector>

#include "ComObject.h"
#include "common/win32/Variant.h"
#include <ocidl.h>
#include <olectl.h>

namespace qv::win::com {

class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(IUnknown& owner, const IID& iid) : owner_(owner), iid_(iid) {}
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    const IID& Interface() const noexcept { return iid_; }
    std::size_t SinkCount() const noexcept { return sinks_.size(); }

    // Calls method `id` on every sink advised when the call starts, with the
    // arguments in declaration order. Returns how many sinks took the call.
    int Fire(DISPID id, std::initializer_list<VARIANT> arguments);
    void Clear() noexcept { sinks_.clear(); }

    // The sinks advised now, each as the connection interface it answered
    // (cast the pointer to that interface).
    std::vector<ComPtr<IUnknown>> Sinks() const;

private:
    struct Sink {
        DWORD cookie;
        ComPtr<IUnknown> sink;  // the pointer QueryInterface gave for the connection interface
    };

    IUnknown& owner_;
    IID iid_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
};

HRESULT FindConnectionPointIn(std::initializer_list<ConnectionPoint*> points, REFIID iid, IConnectionPoint** out);
HRESULT EnumConnectionPointsOf(std::initializer_list<ConnectionPoint*> points, IEnumConnectionPoints** out);

}  // namespace qv::win::com

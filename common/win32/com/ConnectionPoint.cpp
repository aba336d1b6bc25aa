#include "ConnectionPoint.h"

#include <algorithm>

namespace qv::win::com {

namespace {

// Enumerator over a snapshot. Items are ComPtr<IUnknown>-like; Hand gives one
// out with a reference of its own.
template <class IEnum, class Item, class Out, const IID& Iid, Out (*Hand)(const Item&)>
class SnapshotEnum final : public ComObject<SnapshotEnum<IEnum, Item, Out, Iid, Hand>, IEnum> {
public:
    static constexpr InterfaceEntry<SnapshotEnum> kInterfaces[] = {Expose<SnapshotEnum, IEnum>(Iid)};

    SnapshotEnum(std::vector<Item> items, std::size_t position) : items_(std::move(items)), position_(position) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Out* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) {
            return E_POINTER;
        }
        ULONG given = 0;
        while (given < count && position_ < items_.size()) {
            out[given++] = Hand(items_[position_++]);
        }
        if (fetched) {
            *fetched = given;
        }
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const std::size_t left = items_.size() - position_;
        position_ += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** out) override {
        if (!out) {
            return E_POINTER;
        }
        *out = MakeObject<SnapshotEnum>(items_, position_).Detach();
        return S_OK;
    }

private:
    std::vector<Item> items_;
    std::size_t position_;
};

struct Connection {
    DWORD cookie;
    ComPtr<IUnknown> sink;
};

CONNECTDATA HandConnection(const Connection& connection) {
    connection.sink->AddRef();
    return CONNECTDATA{connection.sink.Get(), connection.cookie};
}

IConnectionPoint* HandPoint(const ComPtr<IConnectionPoint>& point) {
    point->AddRef();
    return point.Get();
}

using ConnectionEnum = SnapshotEnum<IEnumConnections, Connection, CONNECTDATA, IID_IEnumConnections, HandConnection>;
using PointEnum = SnapshotEnum<IEnumConnectionPoints, ComPtr<IConnectionPoint>, IConnectionPoint*,
                               IID_IEnumConnectionPoints, HandPoint>;

}  // namespace

HRESULT STDMETHODCALLTYPE ConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) {
        return E_POINTER;
    }
    *iid = iid_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    return owner_.QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(out));
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) {
        return E_POINTER;
    }
    *cookie = 0;
    if (!sink) {
        return E_POINTER;
    }
    ComPtr<IUnknown> answered;
    if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(answered.Address())))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    try {
        sinks_.push_back(Sink{nextCookie_, answered});
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    *cookie = nextCookie_++;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::Unadvise(DWORD cookie) {
    const auto found = std::find_if(sinks_.begin(), sinks_.end(), [&](const Sink& s) { return s.cookie == cookie; });
    if (found == sinks_.end()) {
        return CONNECT_E_NOCONNECTION;
    }
    sinks_.erase(found);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    try {
        std::vector<Connection> connections;
        for (const Sink& sink : sinks_) {
            connections.push_back(Connection{sink.cookie, sink.sink.As<IUnknown>()});
        }
        *out = MakeObject<ConnectionEnum>(std::move(connections), 0).Detach();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

int ConnectionPoint::Fire(DISPID id, std::initializer_list<VARIANT> arguments) {
    // A sink may unadvise (or the client may advise another) during the call.
    const std::vector<Sink> snapshot = sinks_;
    std::vector<VARIANT> reversed(arguments.begin(), arguments.end());
    std::reverse(reversed.begin(), reversed.end());
    int delivered = 0;
    for (const Sink& sink : snapshot) {
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        // The connection interface is a dispinterface, so the sink's pointer is an IDispatch.
        auto* dispatch = static_cast<IDispatch*>(sink.sink.Get());
        if (SUCCEEDED(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                       nullptr))) {
            ++delivered;
        }
    }
    return delivered;
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
    std::vector<ComPtr<IUnknown>> result;
    for (const Sink& sink : sinks_) {
        result.push_back(sink.sink);
    }
    return result;
}

HRESULT FindConnectionPointIn(std::initializer_list<ConnectionPoint*> points, REFIID iid, IConnectionPoint** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    for (ConnectionPoint* point : points) {
        if (IsEqualIID(iid, point->Interface())) {
            point->AddRef();
            *out = point;
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT EnumConnectionPointsOf(std::initializer_list<ConnectionPoint*> points, IEnumConnectionPoints** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    try {
        std::vector<ComPtr<IConnectionPoint>> items;
        for (ConnectionPoint* point : points) {
            items.emplace_back(point);
        }
        *out = MakeObject<PointEnum>(std::move(items), 0).Detach();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace qv::win::com

#include "ZkemTerminals.h"

#include "common/AppError.h"
#include "common/win32/Bstr.h"
#include "common/win32/com/ComError.h"
#include "common/win32/com/ComObject.h"
#include "common/win32/com/DispatchCall.h"
#include "common/win32/com/DispatchSink.h"
#include "common/win32/TextConvert.h"
#include "common/win32/com/TypeLibrary.h"
#include "common/win32/Variant.h"

namespace monitor::win {

using qv::win::Bstr;
using qv::win::ComPtr;
using qv::win::Variant;
using namespace qv::win::com;

namespace {

// Receives the control's events; only the notification matters.
class NotificationSink final : public DispatchSink {
public:
    NotificationSink(const IID& source, DISPID notification, std::function<void()> onNotification)
        : DispatchSink(source), notification_(notification), onNotification_(std::move(onNotification)) {}

private:
    HRESULT OnEvent(DISPID id, DISPPARAMS&, VARIANT*) override {
        if (id == notification_) {
            onNotification_();
        }
        return S_OK;  // other events are not handled, and need no answer
    }

    DISPID notification_;
    std::function<void()> onNotification_;
};

// The control's default source interface and the DISPID of its event at `position`.
bool FindNotification(IDispatch& control, UINT position, IID& source, DISPID& notification) {
    ComPtr<ITypeInfo> events;
    FUNCDESC* function = nullptr;
    if (FAILED(qv::win::com::DefaultEventInterface(&control, events, source)) ||
        FAILED(events->GetFuncDesc(position, &function))) {
        return false;
    }
    notification = function->memid;
    events->ReleaseFuncDesc(function);
    return true;
}

void ThrowCallFailure(HRESULT hr, const ErrorReport& report) {
    if (hr == DISP_E_EXCEPTION && (report.result & 0xFFFF0000L) == static_cast<HRESULT>(0x800A0000L)) {
        throw qv::AppError(report.result & 0xFFFF, report.description);
    }
    throw ComFailure(hr == DISP_E_EXCEPTION ? report.result : hr, report.description);
}

bool AsBool(const Variant& value) {
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value.Get()), 0, VT_BOOL))) {
        return false;
    }
    return converted.boolVal != VARIANT_FALSE;
}

}  // namespace

ZkemTerminals::ZkemTerminals(std::function<void(int)> onNotification) : onNotification_(std::move(onNotification)) {}

ZkemTerminals::~ZkemTerminals() { ReleaseAll(); }

void ZkemTerminals::Create(int i) {
    if (instances_.count(i)) {
        throw qv::AppError(360, "对象已经加载");
    }
    CLSID clsid{};
    ThrowIfFailed(CLSIDFromProgID(L"zkemkeeperCtl.CZKEM", &clsid), "zkemkeeperCtl.CZKEM");
    Instance instance;
    ThrowIfFailed(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(instance.control.Address())),
                  "zkemkeeperCtl.CZKEM");
    IID source{};
    DISPID notification = DISPID_UNKNOWN;
    if (FindNotification(*instance.control.Get(), kNotificationPosition, source, notification)) {
        ComPtr<IConnectionPointContainer> container = instance.control.As<IConnectionPointContainer>();
        if (container && SUCCEEDED(container->FindConnectionPoint(source, instance.point.Address()))) {
            ComPtr<NotificationSink> sink =
                MakeObject<NotificationSink>(source, notification, [this, i] { onNotification_(i); });
            if (FAILED(instance.point->Advise(sink->AsDispatch(), &instance.cookie))) {
                instance.point.Reset();
            }
        }
    }
    instances_.emplace(i, std::move(instance));
}

IDispatch& ZkemTerminals::ControlOf(int i) {
    const auto found = instances_.find(i);
    if (found == instances_.end()) {
        throw qv::AppError(qv::errnum::SubscriptOutOfRange, "下标越界");
    }
    return *found->second.control.Get();
}

bool ZkemTerminals::Connect(int i, const std::string& address, long port) {
    Variant result;
    ErrorReport error;
    const HRESULT hr = CallMethod(&ControlOf(i), kConnectNet,
                                  {Variant::FromText(address).Get(), Variant::FromLong(port).Get()}, result, &error);
    if (FAILED(hr)) {
        ThrowCallFailure(hr, error);
    }
    return AsBool(result);
}

void ZkemTerminals::Disconnect(int i) {
    ErrorReport error;
    const HRESULT hr = CallMethod(&ControlOf(i), kDisconnect, {}, &error);
    if (FAILED(hr)) {
        ThrowCallFailure(hr, error);
    }
}

bool ZkemTerminals::Probe(int i) {
    Bstr answer;
    Variant result;
    ErrorReport error;
    const HRESULT hr =
        CallMethod(&ControlOf(i), kProbe, {Variant::FromLong(1).Get(), ByRef(answer.Address())}, result, &error);
    if (FAILED(hr)) {
        ThrowCallFailure(hr, error);
    }
    return AsBool(result);
}

void ZkemTerminals::ReleaseAll() noexcept {
    for (auto& [position, instance] : instances_) {
        if (instance.point) {
            instance.point->Unadvise(instance.cookie);
        }
    }
    instances_.clear();
}

}  // namespace monitor::win

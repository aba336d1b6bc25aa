#pragma once
// The kit's test object: dual interface from the test type library, error
// information, class information and one connection point.
#include "common/win32/com/ComError.h"
#include "common/win32/com/ConnectionPoint.h"
#include "common/win32/com/DispatchObject.h"
#include "common/win32/com/DispatchSink.h"
#include "KitTest_h.h"

#include <vector>

namespace qv::win::com::test {

class KitThing final
    : public DispatchObject<KitThing, IKitThing, ISupportErrorInfo, IProvideClassInfo, IConnectionPointContainer> {
public:
    static constexpr InterfaceEntry<KitThing> kInterfaces[] = {
        Expose<KitThing, IKitThing>(IID_IKitThing), Expose<KitThing, IKitThing>(IID_IDispatch),
        Expose<KitThing, ISupportErrorInfo>(IID_ISupportErrorInfo),
        Expose<KitThing, IProvideClassInfo>(IID_IProvideClassInfo),
        Expose<KitThing, IConnectionPointContainer>(IID_IConnectionPointContainer)};
    static ComPtr<ITypeInfo> DispatchTypeInfo() { return ModuleTypeInfo(IID_IKitThing); }

    ConnectionPoint events{*static_cast<IKitThing*>(this), DIID_KitEvents};

    HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) override {
        return ComEntry(IID_IKitThing, "KitTest.KitThing", [&] { *sum = a + b; });
    }
    HRESULT STDMETHODCALLTYPE Fail(LONG number) override {
        return ComEntry(IID_IKitThing, "KitTest.KitThing",
                        [&] { throw qv::AppError(number, number == 9 ? "下标越界" : "类型不匹配"); });
    }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return SupportsErrorInfo(iid, {&IID_IKitThing});
    }
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override { return ProvideClassInfo(CLSID_KitThing, out); }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override {
        return EnumConnectionPointsOf({&events}, out);
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
        return FindConnectionPointIn({&events}, iid, out);
    }

private:
    ModuleReference module_;
};

// An event sink that records the values of Ping.
class PingSink final : public DispatchSink {
public:
    PingSink() : DispatchSink(DIID_KitEvents) {}
    std::vector<long> pings;

private:
    HRESULT OnEvent(DISPID id, DISPPARAMS& params, VARIANT*) override {
        if (id != 1 || params.cArgs != 1 || params.rgvarg[0].vt != VT_I4) {
            return DISP_E_MEMBERNOTFOUND;
        }
        pings.push_back(params.rgvarg[0].lVal);
        return S_OK;
    }
};

}  // namespace qv::win::com::test

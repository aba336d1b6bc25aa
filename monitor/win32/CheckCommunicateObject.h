#pragma once
// The COM class clsCheckCommunicate: its dual interface, errors, class
// information and the event connection point, over the portable core with the
// hidden window and the SDK instances. Releasing it ends the server process.
#include <memory>

#include "common/win32/com/ConnectionPoint.h"
#include "common/win32/com/DispatchObject.h"
#include "MonitorWindow.h"
#include "ZkemTerminals.h"
#include "monitor/clsCheckCommunicate.h"
#include "qvlCheckCommunicate_h.h"

namespace monitor::win {

using namespace qv::win::com;

class CheckCommunicateObject final
    : public DispatchObject<CheckCommunicateObject, _clsCheckCommunicate, ISupportErrorInfo, IProvideClassInfo,
                            IConnectionPointContainer>,
      public IMonitorEvents {
public:
    static constexpr InterfaceEntry<CheckCommunicateObject> kInterfaces[] = {
        Expose<CheckCommunicateObject, _clsCheckCommunicate>(IID__clsCheckCommunicate),
        Expose<CheckCommunicateObject, _clsCheckCommunicate>(IID_IDispatch),
        Expose<CheckCommunicateObject, ISupportErrorInfo>(IID_ISupportErrorInfo),
        Expose<CheckCommunicateObject, IProvideClassInfo>(IID_IProvideClassInfo),
        Expose<CheckCommunicateObject, IConnectionPointContainer>(IID_IConnectionPointContainer)};
    static qv::win::ComPtr<ITypeInfo> DispatchTypeInfo() { return ModuleTypeInfo(IID__clsCheckCommunicate); }

    CheckCommunicateObject();
    ~CheckCommunicateObject() override;

    HRESULT STDMETHODCALLTYPE SetCZKEMs(BSTR* strIPs, BSTR* strPorts) override;
    HRESULT STDMETHODCALLTYPE StartCheck() override;
    HRESULT STDMETHODCALLTYPE EndCheck() override;
    HRESULT STDMETHODCALLTYPE m_oTimer_Timer() override;
    HRESULT STDMETHODCALLTYPE SetMachineStatus(short* nIndex, VARIANT_BOOL* bOK) override;

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // Raised by the core; fired to every advised sink.
    void OnDisconnect(long lMachineNo) override;
    void OnConnectRestore(long lMachineNo) override;

private:
    void OnTimerTick();

    ModuleReference module_;
    ConnectionPoint events_{*static_cast<_clsCheckCommunicate*>(this), DIID___clsCheckCommunicate};
    std::unique_ptr<MonitorWindow> m_oForm;
    std::unique_ptr<ZkemTerminals> terminals_;
    std::unique_ptr<clsCheckCommunicate> core_;
};

}  // namespace monitor::win

#include "CheckCommunicateObject.h"

#include "common/win32/Bstr.h"
#include "common/win32/com/ComError.h"
#include "common/win32/TextConvert.h"
#include "common/win32/Variant.h"

namespace monitor::win {

namespace {
constexpr char kSource[] = "qvlCheckCommunicate.clsCheckCommunicate";

std::string TextOf(const BSTR* text) {
    return text && *text ? qv::win::Narrow(std::wstring_view(*text, SysStringLen(*text))) : std::string();
}
}  // namespace

CheckCommunicateObject::CheckCommunicateObject()
    : m_oForm(std::make_unique<MonitorWindow>([this] { OnTimerTick(); })),
      terminals_(std::make_unique<ZkemTerminals>([this](int i) { core_->OnTerminalNotification(i); })),
      core_(std::make_unique<clsCheckCommunicate>(*terminals_, *m_oForm, *m_oForm, *this)) {}

// Every step is attempted, errors ignored; then the whole server ends.
CheckCommunicateObject::~CheckCommunicateObject() {
    events_.Clear();
    core_.reset();
    terminals_.reset();
    m_oForm.reset();
    PostQuitMessage(0);
}

HRESULT STDMETHODCALLTYPE CheckCommunicateObject::SetCZKEMs(BSTR* strIPs, BSTR* strPorts) {
    return ComEntry(IID__clsCheckCommunicate, kSource, [&] { core_->SetCZKEMs(TextOf(strIPs), TextOf(strPorts)); });
}

HRESULT STDMETHODCALLTYPE CheckCommunicateObject::StartCheck() {
    return ComEntry(IID__clsCheckCommunicate, kSource, [&] { core_->StartCheck(); });
}

HRESULT STDMETHODCALLTYPE CheckCommunicateObject::EndCheck() {
    return ComEntry(IID__clsCheckCommunicate, kSource, [&] { core_->EndCheck(); });
}

HRESULT STDMETHODCALLTYPE CheckCommunicateObject::m_oTimer_Timer() {
    return ComEntry(IID__clsCheckCommunicate, kSource, [&] { core_->m_oTimer_Timer(); });
}

HRESULT STDMETHODCALLTYPE CheckCommunicateObject::SetMachineStatus(short* nIndex, VARIANT_BOOL* bOK) {
    return ComEntry(IID__clsCheckCommunicate, kSource, [&] {
        if (!nIndex || !bOK) {
            throw ComFailure(E_POINTER, "");
        }
        core_->SetMachineStatus(*nIndex, *bOK != VARIANT_FALSE);
    });
}

void CheckCommunicateObject::OnTimerTick() {
    // A tick has no caller to report to.
    try {
        core_->m_oTimer_Timer();
    } catch (...) {}
}

void CheckCommunicateObject::OnDisconnect(long lMachineNo) {
    events_.Fire(1, {qv::win::Variant::FromLong(lMachineNo).Get()});
}

void CheckCommunicateObject::OnConnectRestore(long lMachineNo) {
    events_.Fire(2, {qv::win::Variant::FromLong(lMachineNo).Get()});
}

HRESULT STDMETHODCALLTYPE CheckCommunicateObject::InterfaceSupportsErrorInfo(REFIID iid) {
    return SupportsErrorInfo(iid, {&IID__clsCheckCommunicate});
}

HRESULT STDMETHODCALLTYPE CheckCommunicateObject::GetClassInfo(ITypeInfo** out) {
    return ProvideClassInfo(CLSID_clsCheckCommunicate, out);
}

HRESULT STDMETHODCALLTYPE CheckCommunicateObject::EnumConnectionPoints(IEnumConnectionPoints** out) {
    return EnumConnectionPointsOf({&events_}, out);
}

HRESULT STDMETHODCALLTYPE CheckCommunicateObject::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    return FindConnectionPointIn({&events_}, iid, out);
}

}  // namespace monitor::win

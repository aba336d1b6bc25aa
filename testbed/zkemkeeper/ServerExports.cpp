// The DLL's COM entry points. DllRegisterServer writes the class for the
// machine (HKEY_CLASSES_ROOT), as regsvr32 expects.
#include "common/win32/com/ClassFactory.h"
#include "ControlWindow.h"
#include "common/win32/com/Registration.h"
#include "TerminalControl.h"

namespace {

using namespace qv::win::com;

const ClassEntry kClasses[] = {{CLSID_CZKEM, L"zkemkeeperCtl.CZKEM.1", L"zkemkeeperCtl.CZKEM", L"CZKEM",
                                ServerKind::InProcess, L"Apartment", LIBID_zkemkeeper}};

}  // namespace

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_CZKEM)) return CLASS_E_CLASSNOTAVAILABLE;
    const auto factory = MakeObject<ClassFactory>(
        [](REFIID wanted, void** object) { return CreateAndQuery<zkem::TerminalControl>(wanted, object); });
    return factory->QueryInterface(iid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    if (ModuleLifetime::Count() != 0) return S_FALSE;
    zkem::ControlWindow::UnregisterClass();
    return S_OK;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    const HRESULT library = RegisterModuleTypeLibrary(RegistryScope::Machine);
    if (FAILED(library)) return library;
    return RegisterClasses(kClasses, ModulePath(CurrentModule()), RegistryScope::Machine);
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const HRESULT classes = UnregisterClasses(kClasses, RegistryScope::Machine);
    const HRESULT library = UnregisterModuleTypeLibrary(RegistryScope::Machine);
    return FAILED(classes) ? classes : library;
}

}  // extern "C"

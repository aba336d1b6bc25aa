#include "ServerMain.h"

#include "CheckCommunicateObject.h"
#include "common/win32/com/ClassFactory.h"
#include "common/win32/com/Registration.h"
#include "common/win32/com/RegistryViews.h"
#include "common/TextCase.h"
#include "common/win32/TextConvert.h"

namespace monitor::win {

namespace {

const ClassEntry& MonitorClass() {
    static const ClassEntry entry{CLSID_clsCheckCommunicate,
                                  L"qvlCheckCommunicate.clsCheckCommunicate",
                                  L"",
                                  L"qvlCheckCommunicate.clsCheckCommunicate",
                                  ServerKind::Local,
                                  L"",
                                  LIBID_qvlCheckCommunicate};
    return entry;
}

bool HasSwitch(std::wstring_view commandLine, const char* name) {
    const std::string text = qv::AsciiLower(qv::win::Narrow(commandLine));
    return text.find(std::string("/") + name) != std::string::npos ||
           text.find(std::string("-") + name) != std::string::npos;
}

// On 64-bit Windows the 32-bit server also registers itself in the 64-bit
// registry view, so that 64-bit clients can marshal its interfaces.
int Register() {
    HRESULT hr = RegisterClasses({&MonitorClass(), 1}, ModulePath(CurrentModule()), RegistryScope::Machine);
    if (SUCCEEDED(hr)) {
        hr = RegisterModuleTypeLibrary(RegistryScope::Machine);
    }
    if (SUCCEEDED(hr)) {
        hr = MirrorToNativeView({&MonitorClass(), 1}, RegistryScope::Machine);
    }
    return SUCCEEDED(hr) ? 0 : 1;
}

int Unregister() {
    RemoveNativeViewMirror({&MonitorClass(), 1}, RegistryScope::Machine);
    UnregisterModuleTypeLibrary(RegistryScope::Machine);
    return SUCCEEDED(UnregisterClasses({&MonitorClass(), 1}, RegistryScope::Machine)) ? 0 : 1;
}

int Serve() {
    ModuleLifetime::SetOnLastUnlock([] { PostQuitMessage(0); });
    auto factory = MakeObject<ClassFactory>(
        [](REFIID iid, void** out) { return CreateAndQuery<CheckCommunicateObject>(iid, out); });
    LocalClassRegistration registration(CLSID_clsCheckCommunicate, factory.Get());
    if (FAILED(registration.Result())) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int RunServer(std::wstring_view commandLine) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    int exitCode = 0;
    if (HasSwitch(commandLine, "unregserver")) {
        exitCode = Unregister();
    } else if (HasSwitch(commandLine, "regserver")) {
        exitCode = Register();
    } else {
        exitCode = Serve();
    }
    // Objects still alive (another client's) go with the process, unreleased.
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace monitor::win

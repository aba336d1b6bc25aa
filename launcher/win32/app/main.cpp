// startqvl.exe: the launcher's entry point. Wires the start-up sequence of the
// portable core to the real platform and ends the process with the exit
// status of how the sequence ended.
#include "common/win32/WindowsApi.h"

#include "common/win32/ComApartment.h"
#include "launcher/CommandLine.h"
#include "launcher/ExitStatus.h"
#include "launcher/win32/FileRunLog.h"
#include "launcher/win32/CngSignatureVerifier.h"
#include "launcher/win32/IniSettings.h"
#include "launcher/win32/RegistrySettings.h"
#include "launcher/win32/MsxmlHttpClient.h"
#include "common/win32/TextConvert.h"
#include "launcher/win32/Win32FileSystem.h"
#include "launcher/win32/WinClock.h"
#include "launcher/win32/WinInstallProcesses.h"
#include "launcher/win32/WinMessageBox.h"
#include "launcher/win32/WinProcesses.h"
#include "launcher/win32/WinRandom.h"
#include "launcher/win32/WinSingleInstance.h"
#include "launcher/win32/WinSystemInfo.h"
#include "launcher/win32/WinWindowFactory.h"
#include "launcher/modMain.h"
#include "updservice/DelegatedUpdate.h"
#include "updservice/win32/PipeServiceLink.h"

namespace {

// The folder of this program, without a trailing "\" except at a drive root.
std::string LauncherFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return qv::win::Narrow(folder);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const qv::win::ComApartment apartment(COINIT_APARTMENTTHREADED);

    using namespace launcher::win;
    const std::string folder = LauncherFolder();
    FileRunLog log(FileRunLog::UserLogFolder());
    WinMessageBox messageBox;
    Win32FileSystem fileSystem;
    WinProcesses processes;
    WinClock clock;
    WinRandom random;
    MsxmlHttpClient http(&log);
    WinSystemInfo system;
    WinSingleInstance singleInstance;
    IniSettings settingsFile(folder);
    RegistrySettings settings(settingsFile);  // the machine's key, when there is one, else the file
    CngSignatureVerifier verifier;
    WinInstallProcesses installProcesses;
    WinWindowFactory windows(instance,
                             DownloadWindowServices{messageBox, processes, fileSystem, system, clock, folder, &log});
    launcher::LauncherServices services{
        messageBox, fileSystem, processes,        clock,  random,    http, system, singleInstance,
        settings,   windows,    installProcesses, folder, &verifier, &log};
    // A package installation is updated by the machine's update service when it runs.
    updservice::win::PipeServiceLink serviceLink(folder);
    updservice::DelegatedUpdate updateDelegate(serviceLink, clock, &log);
    services.updateDelegate = &updateDelegate;

    const std::string commandLine = qv::win::Narrow(GetCommandLineW());
    return launcher::ExitStatus(launcher::Main(launcher::ArgumentText(commandLine), services));
}

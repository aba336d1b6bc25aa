#include "ServiceProgram.h"

#include <cstdio>
#include <string>

#include "MachineKey.h"
#include "PipeServer.h"
#include "common/win32/UniqueHandle.h"
#include "ServiceUpdateJob.h"

namespace updservice::win {
namespace {

constexpr DWORD kStopHintMs = 30000;

// The service manager's callbacks take no context, so the service's state lives here.
SERVICE_STATUS_HANDLE g_status = nullptr;
HANDLE g_stop = nullptr;

void Report(DWORD state, DWORD exitCode = NO_ERROR, DWORD waitHint = 0) {
    static DWORD checkPoint = 0;
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = exitCode;
    status.dwWaitHint = waitHint;
    status.dwCheckPoint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : ++checkPoint;
    SetServiceStatus(g_status, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            Report(SERVICE_STOP_PENDING, NO_ERROR, kStopHintMs);
            SetEvent(g_stop);
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    g_status = RegisterServiceCtrlHandlerExW(kServiceName, Control, nullptr);
    if (!g_status) return;
    Report(SERVICE_START_PENDING, NO_ERROR, 5000);
    const qv::win::UniqueHandle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop) {
        Report(SERVICE_STOPPED, GetLastError());
        return;
    }
    g_stop = stop.Get();
    ServiceLog log;
    MachineKey machineKey;
    ServiceUpdateJob job(log);
    UpdateDesk desk(machineKey, machineKey, job);
    PipeServer server(desk, log, g_stop);
    Report(SERVICE_RUNNING);
    log.Write("service started");
    std::string error;
    const bool served = server.Run(error);
    log.Write(served ? "service stopped" : "service ended: " + error);
    Report(SERVICE_STOPPED, served ? NO_ERROR : ERROR_PIPE_BUSY);
}

}  // namespace

int RunServiceProgram() {
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kServiceName), ServiceMain}, {nullptr, nullptr}};
    if (StartServiceCtrlDispatcherW(table)) return 0;
    if (GetLastError() == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) {
        std::fputs("qvlUpdateService.exe runs as a Windows service: sc start qvlUpdateService\n", stderr);
    }
    return 1;
}

}  // namespace updservice::win

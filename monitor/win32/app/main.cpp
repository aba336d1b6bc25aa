// qvlCheckCommunicate.exe: the connectivity monitor's local COM server.
#include "monitor/win32/ServerMain.h"
#include "common/win32/WindowsApi.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    return monitor::win::RunServer(commandLine ? commandLine : L"");
}

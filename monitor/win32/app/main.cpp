// qvlCheckCommunicate.exe: the connectivity monitor's local COM server.
#include "ServerMain.h"
#include "WindowsApi.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    return monitor::win::RunServer(commandLine ? commandLine : L"");
}

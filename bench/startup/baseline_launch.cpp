// baseline_launch URL COMMANDLINE: the least a launcher must do — ask the
// service once through MSXML and start the main client.
#include "common/win32/WindowsApi.h"

#include <objbase.h>

#include "launcher/win32/MsxmlHttpClient.h"
#include "common/win32/TextConvert.h"
#include "launcher/win32/WinProcesses.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    int status = 0;
    {
        launcher::win::MsxmlHttpClient http;
        std::unique_ptr<launcher::IXmlDocument> document;
        if (!http.HttpGetXml(qv::win::Narrow(argv[1]), document)) status = 4;
        launcher::win::WinProcesses processes;
        std::string error;
        if (status == 0 && !processes.StartProcess(qv::win::Narrow(argv[2]), error)) status = 5;
    }
    CoUninitialize();
    return status;
}

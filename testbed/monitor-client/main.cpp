// monitor-client: a client of qvlCheckCommunicate for the end-to-end tests.
// Creates the monitor by ProgID, advises an event sink, and runs one command
// a line from stdin (or from its arguments, ";"-separated), each answered by
// one JSON line on stdout. Calls go through the vtable; prefixed with "disp"
// they go through IDispatch::Invoke by DISPID.
//   [disp] set <ips> <ports>    SetCZKEMs ("-" stands for an empty text)
//   [disp] start | end | poll   StartCheck | EndCheck | m_oTimer_Timer
//   [disp] status <i> <0|1>     SetMachineStatus
//      -> {"call":"start","hr":"0x00000000","description":""}
//   wait <ms> <count>   pumps messages until <count> events are held or <ms> pass
//      -> {"call":"wait","events":[["OnDisconnect",2],...]}  (and forgets them)
//   release             releases the monitor
//   gone <ms>           waits for the server process to end -> {"call":"gone","gone":true}
//   handles             the server's open handle count -> {"call":"handles","handles":57}
//   quit
// On start: {"ready":true} or {"ready":false,"hr":"0x...."}.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/win32/Bstr.h"
#include "common/win32/com/ComError.h"
#include "common/win32/com/DispatchCall.h"
#include "MonitorEventSink.h"
#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"
#include <ocidl.h>
#include <tlhelp32.h>

namespace {

using namespace qv::win;
using namespace qv::win::com;
using monitor_client::MonitorEventSink;

using Json = nlohmann::ordered_json;

void Print(const Json& answer) {
    const std::string line = answer.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

// The system's texts end in a line break; the answer shows them on one line.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

std::string HexOf(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

void PumpFor(DWORD milliseconds, const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (done() || now >= deadline) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50)),
                                  QS_ALLINPUT);
    }
}

// 0 when the server does not run.
DWORD ServerProcessId() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"qvlCheckCommunicate.exe") == 0) {
            return entry.th32ProcessID;
        }
    }
    return 0;
}

bool ServerRunning() { return ServerProcessId() != 0; }

DWORD ServerHandleCount() {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, ServerProcessId()));
    DWORD count = 0;
    if (!process || !GetProcessHandleCount(process.Get(), &count)) {
        return 0;
    }
    return count;
}

class Session {
public:
    bool Start() {
        CLSID clsid{};
        HRESULT hr = CLSIDFromProgID(L"qvlCheckCommunicate.clsCheckCommunicate", &clsid);
        if (SUCCEEDED(hr)) {
            hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID__clsCheckCommunicate,
                                  reinterpret_cast<void**>(monitor_.Address()));
        }
        if (SUCCEEDED(hr)) {
            ComPtr<IConnectionPointContainer> container = monitor_.As<IConnectionPointContainer>();
            hr = container ? container->FindConnectionPoint(DIID___clsCheckCommunicate, point_.Address())
                           : E_NOINTERFACE;
        }
        if (SUCCEEDED(hr)) {
            hr = point_->Advise(static_cast<IDispatch*>(sink_.Get()), &cookie_);
        }
        Print(SUCCEEDED(hr) ? Json{{"ready", true}} : Json{{"ready", false}, {"hr", HexOf(hr)}});
        return SUCCEEDED(hr);
    }

    // False on quit.
    bool Run(const std::string& line) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        bool viaDispatch = false;
        if (command == "disp") {
            viaDispatch = true;
            words >> command;
        }
        if (command == "quit") {
            return false;
        }
        if (command == "wait") {
            DWORD ms = 0;
            std::size_t count = 0;
            words >> ms >> count;
            PumpFor(ms, [&] { return events_.size() >= count; });
            Json list = Json::array();
            for (const auto& [name, number] : std::exchange(events_, {})) {
                list.push_back(Json::array({name, number}));
            }
            Print({{"call", "wait"}, {"events", std::move(list)}});
        } else if (command == "release") {
            if (point_) {
                point_->Unadvise(cookie_);
            }
            point_.Reset();
            monitor_.Reset();
            Print({{"call", "release"}});
        } else if (command == "gone") {
            DWORD ms = 0;
            words >> ms;
            PumpFor(ms, [] { return !ServerRunning(); });
            Print({{"call", "gone"}, {"gone", !ServerRunning()}});
        } else if (command == "handles") {
            Print({{"call", "handles"}, {"handles", ServerHandleCount()}});
        } else {
            Call(command, words, viaDispatch);
        }
        return true;
    }

private:
    void Call(const std::string& command, std::istringstream& words, bool viaDispatch) {
        HRESULT hr = E_INVALIDARG;
        ErrorReport error;
        ComPtr<IDispatch> dispatch = monitor_.As<IDispatch>();
        if (!monitor_) {
            hr = E_POINTER;
        } else if (command == "set") {
            std::string ips;
            std::string ports;
            words >> ips >> ports;
            Bstr ipText(ips == "-" ? std::string_view() : std::string_view(ips));
            Bstr portText(ports == "-" ? std::string_view() : std::string_view(ports));
            // Passed by reference: the callee may replace them, so they go back into their owners.
            BSTR ipRaw = ipText.Detach();
            BSTR portRaw = portText.Detach();
            hr = viaDispatch ? CallMethod(dispatch.Get(), 0x60030001, {ByRef(&ipRaw), ByRef(&portRaw)}, &error)
                             : monitor_->SetCZKEMs(&ipRaw, &portRaw);
            ipText.Attach(ipRaw);
            portText.Attach(portRaw);
        } else if (command == "start" || command == "end" || command == "poll") {
            const DISPID id = command == "start" ? 0x60030002 : command == "end" ? 0x60030003 : 0x60030005;
            if (viaDispatch) {
                hr = CallMethod(dispatch.Get(), id, {}, &error);
            } else {
                hr = command == "start" ? monitor_->StartCheck()
                     : command == "end" ? monitor_->EndCheck()
                                        : monitor_->m_oTimer_Timer();
            }
        } else if (command == "status") {
            short index = 0;
            int ok = 0;
            words >> index >> ok;
            VARIANT_BOOL flag = ok ? VARIANT_TRUE : VARIANT_FALSE;
            hr = viaDispatch ? CallMethod(dispatch.Get(), 0x60030006, {ByRef(&index), ByRefBool(&flag)}, &error)
                             : monitor_->SetMachineStatus(&index, &flag);
        }
        if (!viaDispatch && FAILED(hr)) {
            error = TakeErrorReport(hr);
        }
        const HRESULT reported = (viaDispatch && hr == DISP_E_EXCEPTION) ? error.result : hr;
        Print({{"call", command},
               {"hr", HexOf(reported)},
               {"description", OneLine(FAILED(reported) ? error.description : std::string())}});
    }

    ComPtr<_clsCheckCommunicate> monitor_;
    ComPtr<IConnectionPoint> point_;
    std::vector<std::pair<std::string, long>> events_;  // in order of arrival
    ComPtr<MonitorEventSink> sink_ = MakeObject<MonitorEventSink>([this](bool restored, long machine) {
        events_.emplace_back(restored ? "OnConnectRestore" : "OnDisconnect", machine);
    });
    DWORD cookie_ = 0;
};

std::vector<std::string> ScriptOf(int argc, wchar_t** argv) {
    std::vector<std::string> lines;
    for (int i = 1; i < argc; ++i) {
        std::string text = Narrow(argv[i]);
        std::size_t start = 0;
        for (std::size_t semicolon; (semicolon = text.find(';', start)) != std::string::npos; start = semicolon + 1) {
            lines.push_back(text.substr(start, semicolon - start));
        }
        lines.push_back(text.substr(start));
    }
    return lines;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 2;
    }
    int exitCode = 1;
    {
        Session session;
        if (session.Start()) {
            exitCode = 0;
            const std::vector<std::string> script = ScriptOf(argc, argv);
            if (!script.empty()) {
                for (const std::string& line : script) {
                    if (!session.Run(line)) {
                        break;
                    }
                }
            } else {
                for (std::string line; std::getline(std::cin, line);) {
                    if (!line.empty() && line.back() == '\r') {
                        line.pop_back();
                    }
                    if (!session.Run(line)) {
                        break;
                    }
                }
            }
        }
    }
    CoUninitialize();
    return exitCode;
}

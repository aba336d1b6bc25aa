// zkem-client: drives one "zkemkeeperCtl.CZKEM" control the way the monitor
// does (IDispatch::Invoke by identifier, events through a connection point),
// for the end-to-end tests. Commands come one a line on stdin; each prints
// one JSON line on stdout:
//   connect <address> <port>  -> {"call":"connect","hr":0,"result":true}
//   connect-byref <address> <port>   the same with both passed as variants by reference
//   probe <machine>           -> {"call":"probe","hr":0,"result":true,"text":"..."}
//   disconnect                -> {"call":"disconnect","hr":0}
//   wait <ms> <count>         pumps messages until <count> events came since the
//                                last wait, or <ms> passed
//                             -> {"call":"wait","events":[[1020,1],...]}
//   quit
// On start: {"ready":true,"notification":<identifier of the 20th event>}, or
// {"ready":false,"hr":...} when the control cannot be made or advised.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "EventSink.h"
#include "common/win32/TextConvert.h"
#include "common/win32/Variant.h"
#include "zkemkeeper_h.h"
#include <ocidl.h>

namespace {

using qv::win::ComPtr;
using Json = nlohmann::ordered_json;

void Print(const Json& answer) {
    const std::string line = answer.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

// Arguments in declaration order; cleared when done.
struct Arguments {
    std::vector<VARIANT> values;
    ~Arguments() {
        for (auto& value : values) ::VariantClear(&value);
    }
};

HRESULT CallById(IDispatch* control, DISPID id, Arguments& arguments, VARIANT* result) {
    std::vector<VARIANT> reversed(arguments.values.rbegin(), arguments.values.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO exception{};
    const HRESULT hr =
        control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, &exception, nullptr);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    return hr;
}

bool IsTrue(const VARIANT& value) { return value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE; }

// The identifier of the event at `position` of the class's default source interface.
DISPID EventIdAt(IDispatch* control, UINT position) {
    ComPtr<IProvideClassInfo> provider;
    ComPtr<ITypeInfo> coclass;
    if (FAILED(control->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(provider.Address()))) ||
        FAILED(provider->GetClassInfo(coclass.Address())))
        return DISPID_UNKNOWN;
    TYPEATTR* attributes = nullptr;
    if (FAILED(coclass->GetTypeAttr(&attributes))) return DISPID_UNKNOWN;
    const UINT count = attributes->cImplTypes;
    coclass->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < count; ++i) {
        INT flags = 0;
        HREFTYPE reference = 0;
        ComPtr<ITypeInfo> source;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags)) || flags != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE) ||
            FAILED(coclass->GetRefTypeOfImplType(i, &reference)) ||
            FAILED(coclass->GetRefTypeInfo(reference, source.Address())))
            continue;
        FUNCDESC* function = nullptr;
        if (FAILED(source->GetFuncDesc(position, &function))) return DISPID_UNKNOWN;
        const DISPID id = function->memid;
        source->ReleaseFuncDesc(function);
        return id;
    }
    return DISPID_UNKNOWN;
}

void Wait(zkem::EventSink& sink, DWORD waitMs, std::size_t count) {
    const ULONGLONG deadline = ::GetTickCount64() + waitMs;
    while (sink.Count() < count) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    Json events = Json::array();
    for (const auto& [id, argument] : sink.Take()) events.push_back(Json::array({id, argument}));
    Print({{"call", "wait"}, {"events", std::move(events)}});
}

void Serve(IDispatch* control, zkem::EventSink& sink) {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string command;
        words >> command;
        Arguments arguments;
        qv::win::Variant result;
        if (command == "connect") {
            std::string address;
            long port = 0;
            words >> address >> port;
            arguments.values = {qv::win::Variant::FromText(address).Detach(),
                                qv::win::Variant::FromLong(port).Detach()};
            const HRESULT hr = CallById(control, 39, arguments, result.Address());
            Print({{"call", "connect"}, {"hr", hr}, {"result", IsTrue(result.Get())}});
        } else if (command == "connect-byref") {
            // As a late-bound caller holding both values in variables passes them.
            std::string address;
            long port = 0;
            words >> address >> port;
            Arguments variables;
            variables.values = {qv::win::Variant::FromText(address).Detach(),
                                qv::win::Variant::FromLong(port).Detach()};
            VARIANT first, second;
            ::VariantInit(&first);
            ::VariantInit(&second);
            first.vt = second.vt = VT_BYREF | VT_VARIANT;
            first.pvarVal = &variables.values[0];
            second.pvarVal = &variables.values[1];
            Arguments call;
            call.values = {first, second};
            const HRESULT hr = CallById(control, 39, call, result.Address());
            call.values.clear();  // the referenced variables own their values
            Print({{"call", "connect"}, {"hr", hr}, {"result", IsTrue(result.Get())}});
        } else if (command == "probe") {
            long machine = 1;
            words >> machine;
            BSTR text = nullptr;
            VARIANT byReference;
            ::VariantInit(&byReference);
            byReference.vt = VT_BYREF | VT_BSTR;
            byReference.pbstrVal = &text;
            Arguments call;
            call.values = {qv::win::Variant::FromLong(machine).Detach(), byReference};
            const HRESULT hr = CallById(control, 44, call, result.Address());
            call.values.pop_back();  // the by-reference slot is not the call's to free
            const std::string answer = text ? qv::win::Narrow(std::wstring_view(text, ::SysStringLen(text))) : "";
            ::SysFreeString(text);
            Print({{"call", "probe"}, {"hr", hr}, {"result", IsTrue(result.Get())}, {"text", answer}});
        } else if (command == "disconnect") {
            Print({{"call", "disconnect"}, {"hr", CallById(control, 40, arguments, nullptr)}});
        } else if (command == "wait") {
            DWORD waitMs = 0;
            std::size_t count = 0;
            words >> waitMs >> count;
            Wait(sink, waitMs, count);
        } else if (command == "quit") {
            return;
        } else {
            Print({{"error", "unknown command"}});
        }
    }
}

int Run() {
    CLSID clsid{};
    ComPtr<IDispatch> control;
    HRESULT hr = ::CLSIDFromProgID(L"zkemkeeperCtl.CZKEM", &clsid);
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(control.Address()));
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(hr))
        hr = control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Address()));
    if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(DIID__ITerminalEvents, point.Address());
    const auto sink = qv::win::com::MakeObject<zkem::EventSink>(DIID__ITerminalEvents);
    DWORD cookie = 0;
    if (SUCCEEDED(hr)) hr = point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie);
    if (FAILED(hr)) {
        Print({{"ready", false}, {"hr", hr}});
        return 1;
    }
    Print({{"ready", true}, {"notification", EventIdAt(control.Get(), 19)}});
    Serve(control.Get(), *sink.Get());
    point->Unadvise(cookie);
    return 0;
}

}  // namespace

int main() {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    const int code = Run();
    ::CoUninitialize();
    return code;
}

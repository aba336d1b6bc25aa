// The server as a client sees it: registration, activation by ProgID, calls
// through IDispatch and the vtable, errors, events, and the end of the process.
#include <gtest/gtest.h>

#include "common/win32/WindowsApi.h"
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "common/win32/Bstr.h"
#include "common/win32/com/ComError.h"
#include "common/win32/com/ComObject.h"
#include "common/win32/com/DispatchCall.h"
#include "common/win32/com/Registration.h"
#include "common/win32/UniqueHandle.h"
#include "qvlCheckCommunicate_h.h"

namespace monitor::win {
namespace {

using namespace qv::win;
using namespace qv::win::com;

constexpr DWORD kWaitMs = 60000;

std::wstring ServerPath() {
    std::wstring path = ModulePath(nullptr);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"qvlCheckCommunicate.exe";
}

DWORD RunServer(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + ServerPath() + L"\" " + arguments;
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return 9999;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle thread(process.hThread);
    DWORD code = 9998;
    if (WaitForSingleObject(process.hProcess, kWaitMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    }
    return code;
}

std::vector<DWORD> ServerProcesses() {
    std::vector<DWORD> ids;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"qvlCheckCommunicate.exe") == 0) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    return ids;
}

class EventSink final : public ComObject<EventSink, IDispatch> {
public:
    static constexpr InterfaceEntry<EventSink> kInterfaces[] = {
        Expose<EventSink, IDispatch>(DIID___clsCheckCommunicate), Expose<EventSink, IDispatch>(IID_IDispatch)};
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return S_OK;
    }
};

class Server : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(RunServer(L"/RegServer"), 0u); }
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }

    ComPtr<_clsCheckCommunicate> Create() {
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgID(L"qvlCheckCommunicate.clsCheckCommunicate", &clsid), S_OK);
        EXPECT_TRUE(IsEqualGUID(clsid, CLSID_clsCheckCommunicate));
        ComPtr<_clsCheckCommunicate> monitor;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID__clsCheckCommunicate,
                                   reinterpret_cast<void**>(monitor.Address())),
                  S_OK);
        return monitor;
    }
};

TEST_F(Server, AnswersByNameAndDispatchIdentifierAsItsTypeLibrarySays) {
    ComPtr<_clsCheckCommunicate> monitor = Create();
    ASSERT_TRUE(monitor);
    ComPtr<IDispatch> dispatch = monitor.As<IDispatch>();
    const std::pair<const wchar_t*, DISPID> members[] = {{L"SetCZKEMs", 0x60030001},
                                                         {L"StartCheck", 0x60030002},
                                                         {L"EndCheck", 0x60030003},
                                                         {L"m_oTimer_Timer", 0x60030005},
                                                         {L"SetMachineStatus", 0x60030006}};
    for (const auto& [name, id] : members) {
        EXPECT_EQ(DispatchIdOf(dispatch.Get(), name), id);
    }
    ComPtr<ITypeInfo> classInfo;
    ASSERT_EQ(monitor.As<IProvideClassInfo>()->GetClassInfo(classInfo.Address()), S_OK);
    ComPtr<ITypeLib> library;
    UINT index = 0;
    ASSERT_EQ(classInfo->GetContainingTypeLib(library.Address(), &index), S_OK);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_qvlCheckCommunicate));
    EXPECT_EQ(attributes->wMajorVerNum, 39);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    library->ReleaseTLibAttr(attributes);

    // Events: the source interface accepts a sink from this process.
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(monitor.As<IConnectionPointContainer>()->FindConnectionPoint(DIID___clsCheckCommunicate, point.Address()),
              S_OK);
    DWORD cookie = 0;
    ComPtr<EventSink> sink = MakeObject<EventSink>();
    EXPECT_EQ(point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
}

TEST_F(Server, FailuresReachTheClientAsNumberedComErrors) {
    ComPtr<_clsCheckCommunicate> monitor = Create();
    ASSERT_TRUE(monitor);
    // Before SetCZKEMs, through the vtable.
    HRESULT hr = monitor->StartCheck();
    EXPECT_EQ(hr, static_cast<HRESULT>(0x800A0009));
    // The description is checked through IDispatch below: Wine 8's marshaller
    // does not carry the error information of a vtable call across processes.

    // An empty address text leaves no terminals; through IDispatch.
    Bstr ips(std::string_view(""));
    Bstr ports(std::string_view(""));
    EXPECT_EQ(monitor->SetCZKEMs(ips.Address(), ports.Address()), S_OK);
    ComPtr<IDispatch> dispatch = monitor.As<IDispatch>();
    ErrorReport error;
    EXPECT_EQ(CallMethod(dispatch.Get(), 0x60030002, {}, &error), DISP_E_EXCEPTION);
    EXPECT_EQ(error.result, static_cast<HRESULT>(0x800A0009));
    EXPECT_EQ(error.description, "下标越界");

    short index = 1;
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(CallMethod(dispatch.Get(), 0x60030006, {ByRef(&index), ByRefBool(&ok)}, &error), DISP_E_EXCEPTION);
    EXPECT_EQ(error.result, static_cast<HRESULT>(0x800A0009));
    EXPECT_EQ(monitor->EndCheck(), S_OK);
}

TEST_F(Server, ReleasingTheObjectEndsTheServerProcess) {
    ComPtr<_clsCheckCommunicate> monitor = Create();
    ASSERT_TRUE(monitor);
    const std::vector<DWORD> ids = ServerProcesses();
    ASSERT_EQ(ids.size(), 1u);
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, ids[0]));
    ASSERT_TRUE(process);
    monitor.Reset();
    EXPECT_EQ(WaitForSingleObject(process.Get(), kWaitMs), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace monitor::win

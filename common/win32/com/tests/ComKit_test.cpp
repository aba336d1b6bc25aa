#include <gtest/gtest.h>

#include "common/win32/Bstr.h"
#include "common/win32/com/ClassFactory.h"
#include "common/win32/com/DispatchCall.h"
#include "KitThing.h"
#include "common/win32/com/Registration.h"

namespace qv::win::com {
namespace {

using test::KitThing;
using test::PingSink;

class ComKit : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(ComKit, AnswersTheInterfacesOfItsTableWithOneIdentity) {
    ComPtr<KitThing> thing = MakeObject<KitThing>();
    ComPtr<IUnknown> first = ComPtr<IKitThing>(thing.Get()).As<IUnknown>();
    for (const IID* iid : {&IID_IKitThing, &IID_IDispatch, &IID_ISupportErrorInfo, &IID_IProvideClassInfo,
                           &IID_IConnectionPointContainer}) {
        ComPtr<IUnknown> answer;
        ASSERT_EQ(thing->QueryInterface(*iid, reinterpret_cast<void**>(answer.Address())), S_OK);
        EXPECT_EQ(answer.As<IUnknown>().Get(), first.Get());
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(thing->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
}

TEST_F(ComKit, ObjectsAndServerLocksKeepTheModuleAliveUntilTheLastGoes) {
    int lastUnlocks = 0;
    ModuleLifetime::SetOnLastUnlock([&] { ++lastUnlocks; });
    const long before = ModuleLifetime::Count();
    {
        ComPtr<ClassFactory> factory =
            MakeObject<ClassFactory>([](REFIID iid, void** out) { return CreateAndQuery<KitThing>(iid, out); });
        EXPECT_EQ(ModuleLifetime::Count(), before);  // the factory alone holds nothing
        ComPtr<IKitThing> thing;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IKitThing, reinterpret_cast<void**>(thing.Address())), S_OK);
        factory->LockServer(TRUE);
        EXPECT_EQ(ModuleLifetime::Count(), before + 2);
        thing.Reset();
        EXPECT_EQ(lastUnlocks, 0);
        factory->LockServer(FALSE);
        EXPECT_EQ(ModuleLifetime::Count(), before);

        ComPtr<IUnknown> refused;
        ComPtr<IUnknown> outer(static_cast<IClassFactory*>(factory.Get()));
        EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, reinterpret_cast<void**>(refused.Address())),
                  CLASS_E_NOAGGREGATION);
    }
    ModuleLifetime::SetOnLastUnlock(nullptr);
    EXPECT_EQ(lastUnlocks, before == 0 ? 1 : 0);
}

TEST_F(ComKit, DispatchGoesThroughTheTypeInformationToTheVtable) {
    ComPtr<KitThing> thing = MakeObject<KitThing>();
    ComPtr<IDispatch> dispatch(static_cast<IKitThing*>(thing.Get()));
    EXPECT_EQ(DispatchIdOf(dispatch.Get(), L"Add"), 1);
    EXPECT_EQ(DispatchIdOf(dispatch.Get(), L"Missing"), DISPID_UNKNOWN);

    Variant sum;
    ASSERT_EQ(CallMethod(dispatch.Get(), 1, {Variant::FromLong(40).Get(), Variant::FromText("2").Get()}, sum), S_OK);
    EXPECT_EQ(sum.Type(), VT_I4);
    EXPECT_EQ(sum.Get().lVal, 42);

    ComPtr<ITypeInfo> classInfo;
    ASSERT_EQ(ComPtr<IKitThing>(thing.Get()).As<IProvideClassInfo>()->GetClassInfo(classInfo.Address()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(classInfo->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, CLSID_KitThing));
    classInfo->ReleaseTypeAttr(attributes);
}

struct ErrorCase {
    long number;
    HRESULT result;
    const char* description;
};

TEST_F(ComKit, FailuresBecomeErrorNumbersWithTheirDescriptions) {
    const ErrorCase cases[] = {{9, static_cast<HRESULT>(0x800A0009), "下标越界"},
                               {13, static_cast<HRESULT>(0x800A000D), "类型不匹配"}};
    ComPtr<KitThing> thing = MakeObject<KitThing>();
    ComPtr<IDispatch> dispatch(static_cast<IKitThing*>(thing.Get()));
    for (const ErrorCase& c : cases) {
        // Through the vtable: HRESULT plus the thread's error information.
        const HRESULT direct = thing->Fail(c.number);
        EXPECT_EQ(direct, c.result);
        const ErrorReport report = TakeErrorReport(direct);
        EXPECT_EQ(report.description, c.description);
        EXPECT_EQ(report.source, "KitTest.KitThing");

        // Through IDispatch: DISP_E_EXCEPTION with the same number and text.
        ErrorReport dispatched;
        EXPECT_EQ(CallMethod(dispatch.Get(), 2, {Variant::FromLong(c.number).Get()}, &dispatched), DISP_E_EXCEPTION);
        EXPECT_EQ(dispatched.result, c.result);
        EXPECT_EQ(dispatched.description, c.description);
    }
    EXPECT_EQ(thing->InterfaceSupportsErrorInfo(IID_IKitThing), S_OK);
    EXPECT_EQ(thing->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
}

TEST_F(ComKit, ASinkAnswersItsEventInterfaceAsIDispatchAndNothingElse) {
    ComPtr<PingSink> sink = MakeObject<PingSink>();
    IDispatch* const dispatch = sink->AsDispatch();
    for (const IID* iid : {&DIID_KitEvents, &IID_IDispatch, &IID_IUnknown}) {
        ComPtr<IUnknown> answer;
        ASSERT_EQ(sink->QueryInterface(*iid, reinterpret_cast<void**>(answer.Address())), S_OK);
        EXPECT_EQ(static_cast<void*>(answer.Get()), static_cast<void*>(dispatch));
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(sink->QueryInterface(IID_IKitThing, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    UINT count = 7;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);

    // A caller that passes no arguments at all still reaches the handler, which refuses it.
    VARIANT result;
    result.vt = VT_I4;
    EXPECT_EQ(dispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, &result, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(result.vt, VT_EMPTY);
    VARIANT value = Variant::FromLong(5).Get();
    DISPPARAMS params{&value, nullptr, 1, 0};
    EXPECT_EQ(dispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(sink->pings, (std::vector<long>{5}));
}

TEST_F(ComKit, ConnectionPointCallsEverySinkUntilItUnadvises) {
    ComPtr<KitThing> thing = MakeObject<KitThing>();
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(thing->FindConnectionPoint(DIID_KitEvents, point.Address()), S_OK);
    EXPECT_EQ(thing->FindConnectionPoint(IID_IKitThing, point.Address()), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(thing->FindConnectionPoint(DIID_KitEvents, point.Address()), S_OK);

    ComPtr<PingSink> first = MakeObject<PingSink>();
    ComPtr<PingSink> second = MakeObject<PingSink>();
    DWORD firstCookie = 0;
    DWORD secondCookie = 0;
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(first.Get()), &firstCookie), S_OK);
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(second.Get()), &secondCookie), S_OK);
    EXPECT_NE(firstCookie, secondCookie);

    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point->EnumConnections(connections.Address()), S_OK);
    CONNECTDATA data[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    for (ULONG i = 0; i < fetched; ++i) {
        data[i].pUnk->Release();
    }

    EXPECT_EQ(thing->events.Fire(1, {Variant::FromLong(7).Get()}), 2);
    ASSERT_EQ(point->Unadvise(firstCookie), S_OK);
    EXPECT_EQ(point->Unadvise(firstCookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(thing->events.Fire(1, {Variant::FromLong(8).Get()}), 1);
    EXPECT_EQ(first->pings, (std::vector<long>{7}));
    EXPECT_EQ(second->pings, (std::vector<long>{7, 8}));

    // An object that is no sink of this interface cannot connect.
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(static_cast<IKitThing*>(MakeObject<KitThing>().Get()), &cookie), CONNECT_E_CANNOTCONNECT);
    thing->events.Clear();
}

std::wstring ReadDefault(const std::wstring& path) {
    wchar_t value[512] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + path).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return value;
}

TEST_F(ComKit, RegistersAndUnregistersClassesForTheUser) {
    const ClassEntry classes[] = {{CLSID_KitThing, L"KitTest.KitThing.1", L"KitTest.KitThing", L"KitThing",
                                   ServerKind::InProcess, L"Apartment", LIBID_KitTest}};
    const std::wstring clsid = L"CLSID\\" + GuidText(CLSID_KitThing);
    ASSERT_EQ(RegisterClasses(classes, L"C:\\kit\\kit.dll", RegistryScope::User), S_OK);
    EXPECT_EQ(ReadDefault(clsid + L"\\InprocServer32"), L"C:\\kit\\kit.dll");
    EXPECT_EQ(ReadDefault(clsid + L"\\ProgID"), L"KitTest.KitThing.1");
    EXPECT_EQ(ReadDefault(clsid + L"\\VersionIndependentProgID"), L"KitTest.KitThing");
    EXPECT_EQ(ReadDefault(clsid + L"\\TypeLib"), GuidText(LIBID_KitTest));
    EXPECT_EQ(ReadDefault(L"KitTest.KitThing\\CurVer"), L"KitTest.KitThing.1");
    // Read back rather than through CLSIDFromProgID: Wine 8 does not merge the
    // user's classes into HKEY_CLASSES_ROOT for it as Windows does.
    EXPECT_EQ(ReadDefault(L"KitTest.KitThing\\CLSID"), GuidText(CLSID_KitThing));
    const ClassSubkey subkeys[] = {{L"Control", L""}, {L"MiscStatus\\1", L"131473"}};
    ASSERT_EQ(RegisterClassSubkeys(CLSID_KitThing, subkeys, RegistryScope::User), S_OK);
    EXPECT_EQ(ReadDefault(clsid + L"\\Control"), L"");
    EXPECT_EQ(ReadDefault(clsid + L"\\MiscStatus\\1"), L"131473");

    ASSERT_EQ(UnregisterClasses(classes, RegistryScope::User), S_OK);
    EXPECT_EQ(ReadDefault(clsid), L"<missing>");
    EXPECT_EQ(ReadDefault(clsid + L"\\MiscStatus\\1"), L"<missing>");
    EXPECT_EQ(ReadDefault(L"KitTest.KitThing.1"), L"<missing>");
}

}  // namespace
}  // namespace qv::win::com

#include <gtest/gtest.h>

#include "KitTest_h.h"
#include "common/win32/com/RegistryKey.h"
#include "common/win32/com/RegistryViews.h"

namespace qv::win::com {
namespace {

// A value of HKCU\Software\Classes\path as a 64-bit process sees it.
std::wstring ReadNative(const std::wstring& path) {
    RegistryKey key;
    wchar_t value[512] = {};
    DWORD size = sizeof(value);
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + path).c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                      key.Address()) != ERROR_SUCCESS ||
        RegGetValueW(key.Get(), nullptr, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return value;
}

class RegistryViews : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override {
        RemoveNativeViewMirror(classes_, RegistryScope::User);
        UnregisterClasses(classes_, RegistryScope::User);
        CoUninitialize();
    }

    const ClassEntry classes_[1] = {
        {CLSID_KitThing, L"KitTest.KitThing.1", L"", L"KitThing", ServerKind::Local, L"", LIBID_KitTest}};
};

TEST_F(RegistryViews, A32BitLocalServerIsMirroredForSixtyFourBitClientsAndRemovedAgain) {
    ASSERT_EQ(RegisterClasses(classes_, ModulePath(CurrentModule()), RegistryScope::User), S_OK);
    if (!RunsUnderWow64()) {
        // A 64-bit (or 32-bit Windows) registration has one view: nothing to add.
        EXPECT_EQ(MirrorToNativeView(classes_, RegistryScope::User), S_FALSE);
        return;
    }
    ASSERT_EQ(MirrorToNativeView(classes_, RegistryScope::User), S_OK);
    const std::wstring server = L"\"" + ModulePath(CurrentModule()) + L"\"";
    const std::wstring clsid = L"CLSID\\" + GuidText(CLSID_KitThing);
    const std::wstring dual = L"Interface\\" + GuidText(IID_IKitThing);
    const std::wstring events = L"Interface\\" + GuidText(DIID_KitEvents);
    EXPECT_EQ(ReadNative(clsid + L"\\LocalServer32"), server);
    EXPECT_EQ(ReadNative(L"KitTest.KitThing.1\\CLSID"), GuidText(CLSID_KitThing));
    EXPECT_EQ(ReadNative(dual + L"\\ProxyStubClsid32"), L"{00020424-0000-0000-C000-000000000046}");
    EXPECT_EQ(ReadNative(events + L"\\ProxyStubClsid32"), L"{00020420-0000-0000-C000-000000000046}");
    EXPECT_EQ(ReadNative(dual + L"\\TypeLib"), GuidText(LIBID_KitTest));
    EXPECT_EQ(ReadNative(L"TypeLib\\" + GuidText(LIBID_KitTest) + L"\\1.0\\0\\win64"), ModulePath(CurrentModule()));

    ASSERT_EQ(RemoveNativeViewMirror(classes_, RegistryScope::User), S_OK);
    EXPECT_EQ(ReadNative(clsid + L"\\LocalServer32"), L"<missing>");
    EXPECT_EQ(ReadNative(dual + L"\\ProxyStubClsid32"), L"<missing>");
    EXPECT_EQ(ReadNative(L"TypeLib\\" + GuidText(LIBID_KitTest) + L"\\1.0\\0\\win64"), L"<missing>");
}

}  // namespace
}  // namespace qv::win::com

// Registers the built library with regsvr32 under Wine, creates the control
// by ProgID and checks its type library, then unregisters it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/Bstr.h"
#include "ControlFixture.h"
#include "common/win32/ComPtr.h"
#include "common/win32/com/DispatchCall.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/Variant.h"
#include "common/win32/WindowsApi.h"
#include "Lumen_Control_h.h"

namespace {

using qv::win::ComPtr;

using control_tests::LibraryPath;

DWORD RunRegsvr32(const std::wstring& switches) {
    std::wstring command = L"regsvr32.exe " + switches + L" \"" + LibraryPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return GetLastError() | 0x80000000U;
    }
    CloseHandle(process.hThread);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return code;
}

std::wstring ClassKey() { return L"CLSID\\{A4FC41AA-CBDC-4CDB-8CC9-0C01ECFBCCB1}"; }

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::wstring ReadText(const std::wstring& path, const wchar_t* name) {
    wchar_t value[512] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

struct MemberNames {
    std::vector<std::wstring> names;  // in interface order, each once
    std::vector<MEMBERID> ids;
    std::vector<std::wstring> putNames;
};

MemberNames MembersOf(ITypeInfo* info) {
    MemberNames members;
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return members;
    const WORD count = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);
    for (WORD i = 0; i < count; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(i, &function))) continue;
        qv::win::Bstr name;
        info->GetDocumentation(function->memid, name.Address(), nullptr, nullptr, nullptr);
        const std::wstring text = name.Get() ? name.Get() : L"";
        if (members.names.empty() || members.names.back() != text) {
            members.names.push_back(text);
            members.ids.push_back(function->memid);
        }
        if (function->invkind == INVOKE_PROPERTYPUT || function->invkind == INVOKE_PROPERTYPUTREF)
            members.putNames.push_back(text);
        info->ReleaseFuncDesc(function);
    }
    return members;
}

std::wstring HelpOf(ITypeInfo* info, MEMBERID id) {
    qv::win::Bstr help;
    info->GetDocumentation(id, nullptr, help.Address(), nullptr, nullptr);
    return help.Get() ? help.Get() : L"";
}

class LumenLibrary : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(LumenLibrary, TypeLibraryDescribesTheControl) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(LibraryPath().c_str(), REGKIND_NONE, library.Address()), S_OK);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->wMajorVerNum, 41);
    EXPECT_EQ(attributes->wMinorVerNum, 2);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_Lumen_Control));
    library->ReleaseTLibAttr(attributes);
    qv::win::Bstr name, help;
    library->GetDocumentation(-1, name.Address(), help.Address(), nullptr, nullptr);
    EXPECT_STREQ(name.Get(), L"Lumen_Control");
    EXPECT_STREQ(help.Get(), L"Lumen_Control");

    ComPtr<ITypeInfo> dispatchInfo;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID__TextColor, dispatchInfo.Address()), S_OK);
    HREFTYPE vtableRef = 0;
    ComPtr<ITypeInfo> vtableInfo;
    ASSERT_EQ(dispatchInfo->GetRefTypeOfImplType(-1, &vtableRef), S_OK);
    ASSERT_EQ(dispatchInfo->GetRefTypeInfo(vtableRef, vtableInfo.Address()), S_OK);
    const MemberNames members = MembersOf(vtableInfo.Get());
    const std::vector<std::wstring> expected = {L"BackColor",     L"ForeColor",      L"Enabled",
                                                L"Font",          L"BackStyle",      L"BorderStyle",
                                                L"Refresh",       L"Alignment",      L"CausesValidation",
                                                L"Appearance",    L"DataMember",     L"DataMembers",
                                                L"DrawMode",      L"FontBold",       L"FontItalic",
                                                L"FontName",      L"FontSize",       L"FontStrikethru",
                                                L"FontUnderline", L"HideSelection",  L"hWnd",
                                                L"LinkExecute",   L"LinkItem",       L"LinkMode",
                                                L"LinkPoke",      L"LinkRequest",    L"LinkSend",
                                                L"LinkTimeout",   L"LinkTopic",      L"Locked",
                                                L"MaxLength",     L"MouseIcon",      L"MousePointer",
                                                L"MultiLine",     L"OLEDrag",        L"OLEDragMode",
                                                L"PasswordChar",  L"RightToLeft",    L"ScrollBars",
                                                L"SelLength",     L"SelStart",       L"SelText",
                                                L"Text",          L"ToolTipText",    L"SetBkClr",
                                                L"GetBkColor",    L"ChaTwoByte",     L"IsNumeric",
                                                L"MaxNumber",     L"DigitNumber",    L"AllowNegative",
                                                L"IsVarName",     L"SelAllWhenFocus"};
    EXPECT_EQ(members.names, expected);
    ASSERT_EQ(members.ids.size(), 53U);
    EXPECT_EQ(members.ids[0], 0x68030029);
    EXPECT_EQ(members.ids[3], -512);
    EXPECT_EQ(members.ids[6], 0x6003002a);
    EXPECT_EQ(members.ids[21], 0x60030034);
    EXPECT_EQ(members.ids[44], 0x6003003d);
    EXPECT_EQ(members.ids[51], 0x6803003f);
    EXPECT_EQ(members.ids[52], 0x40030040);
    for (const wchar_t* readOnly : {L"DataMembers", L"HideSelection", L"hWnd", L"MultiLine", L"ScrollBars"}) {
        EXPECT_EQ(std::count(members.putNames.begin(), members.putNames.end(), readOnly), 0) << readOnly;
    }
    EXPECT_EQ(members.putNames.size(), 53U - 8U - 5U);  // all but the eight methods and five read-only members
    // Help strings are stored in code page 936 and read back through it.
    EXPECT_EQ(HelpOf(vtableInfo.Get(), 0x68030006), L"返回/设置控件中包含的文本。");
    EXPECT_EQ(HelpOf(vtableInfo.Get(), 0x68030029), L"返回/设置对象中文本和图形的背景色。");
    EXPECT_EQ(HelpOf(vtableInfo.Get(), 0x6803000e), L"");
    EXPECT_EQ(HelpOf(vtableInfo.Get(), 0x6003003d), L"");

    ComPtr<ITypeInfo> events;
    ASSERT_EQ(library->GetTypeInfoOfGuid(DIID___TextColor, events.Address()), S_OK);
    const MemberNames eventMembers = MembersOf(events.Get());
    const std::vector<std::wstring> expectedEvents = {L"Click",  L"DblClick",    L"KeyDown",   L"KeyPress",
                                                      L"KeyUp",  L"MouseDown",   L"MouseMove", L"MouseUp",
                                                      L"Change", L"OLEDragDrop", L"Validate"};
    EXPECT_EQ(eventMembers.names, expectedEvents);
    for (std::size_t i = 0; i < eventMembers.ids.size(); ++i) EXPECT_EQ(eventMembers.ids[i], MEMBERID(i + 1));
    EXPECT_EQ(HelpOf(events.Get(), 4), L"当用户按下和释放 ANSI 键时发生。");
}

TEST_F(LumenLibrary, CarriesToolboxBitmapsAndASelfRegisteringVersion) {
    HMODULE file = LoadLibraryExW(LibraryPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(file, nullptr);
    for (int id : {30000, 30001}) {
        HRSRC found = FindResourceW(file, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2));  // RT_BITMAP
        ASSERT_NE(found, nullptr) << id;
        const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(file, found)));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biWidth, 16);
        EXPECT_EQ(header->biHeight, 15);
        EXPECT_EQ(header->biBitCount, 4);
    }
    FreeLibrary(file);

    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeW(LibraryPath().c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(LibraryPath().c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000U);
    EXPECT_EQ(fixed->dwFileVersionLS, 0U);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000U);
    void* marker = nullptr;
    EXPECT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\OLESelfRegister", &marker, &length));
}

TEST_F(LumenLibrary, RegistersCreatesByProgIdAndUnregisters) {
    if (KeyExists(ClassKey())) RunRegsvr32(L"/u /s");  // left behind by an interrupted run
    ASSERT_FALSE(KeyExists(ClassKey()));
    ASSERT_EQ(RunRegsvr32(L"/s"), 0U);
    EXPECT_EQ(ReadText(ClassKey() + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ReadText(ClassKey() + L"\\ProgID", nullptr), L"Lumen_Control.TextColor");
    EXPECT_EQ(ReadText(ClassKey() + L"\\TypeLib", nullptr), L"{4736CE68-249C-4798-871D-8E40CCB880AC}");
    EXPECT_EQ(ReadText(ClassKey() + L"\\ToolboxBitmap32", nullptr), LibraryPath() + L", 30000");
    EXPECT_EQ(ReadText(ClassKey() + L"\\Version", nullptr), L"41.2");
    EXPECT_TRUE(KeyExists(ClassKey() + L"\\Control"));
    EXPECT_TRUE(KeyExists(ClassKey() + L"\\MiscStatus\\1"));
    EXPECT_TRUE(KeyExists(L"TypeLib\\{4736CE68-249C-4798-871D-8E40CCB880AC}\\29.2"));

    {
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(L"Lumen_Control.TextColor", &clsid), S_OK);
        EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_TextColor));
        ComPtr<IDispatch> control;
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(control.Address())),
                  S_OK);

        const DISPID maxNumber = qv::win::com::DispatchIdOf(control.Get(), L"MaxNumber");
        EXPECT_EQ(maxNumber, 0x68030002);
        qv::win::Variant value;
        ASSERT_EQ(qv::win::com::CallMethod(control.Get(), maxNumber, {}, value, nullptr, DISPATCH_PROPERTYGET), S_OK);
        EXPECT_EQ(value.Get().vt, VT_R8);
        EXPECT_EQ(value.Get().dblVal, 999999999999.0);

        DISPID named = DISPID_PROPERTYPUT;
        VARIANT argument{};
        argument.vt = VT_I4;
        argument.lVal = 100;
        DISPPARAMS put{&argument, &named, 1, 1};
        EXPECT_EQ(control->Invoke(maxNumber, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr), S_OK);
        qv::win::Variant after;
        qv::win::com::CallMethod(control.Get(), maxNumber, {}, after, nullptr, DISPATCH_PROPERTYGET);
        EXPECT_EQ(after.Get().dblVal, 100.0);

        long active = 0x123456, inactive = 0x654321;
        EXPECT_EQ(qv::win::com::CallMethod(control.Get(), qv::win::com::DispatchIdOf(control.Get(), L"SetBkClr"),
                                           {qv::win::com::ByRef(&active), qv::win::com::ByRef(&inactive)}),
                  S_OK);
        long readActive = 0, readInactive = 0;
        EXPECT_EQ(qv::win::com::CallMethod(control.Get(), qv::win::com::DispatchIdOf(control.Get(), L"GetBkColor"),
                                           {qv::win::com::ByRef(&readActive), qv::win::com::ByRef(&readInactive)}),
                  S_OK);
        EXPECT_EQ(readActive, 0x123456);
        EXPECT_EQ(readInactive, 0x654321);

        qv::win::Variant selectAll;
        qv::win::com::CallMethod(control.Get(), qv::win::com::DispatchIdOf(control.Get(), L"SelAllWhenFocus"), {},
                                 selectAll, nullptr, DISPATCH_PROPERTYGET);
        EXPECT_EQ(selectAll.Get().boolVal, VARIANT_TRUE);

        // What the registry tells a container before it creates one is what the control then answers.
        DWORD misc = 0;
        ASSERT_EQ(control.As<IOleObject>()->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
        EXPECT_EQ(ReadText(ClassKey() + L"\\MiscStatus\\1", nullptr), std::to_wstring(misc));

        // Older identifiers of the default interface give the same interface.
        const IID older[] = {{0x7D52E597, 0xB4D2, 0x4220, {0xB6, 0x74, 0x40, 0xAA, 0x3D, 0x0D, 0xA2, 0x6F}},
                             {0x7928C0C4, 0x608D, 0x43BB, {0xBB, 0x11, 0x7A, 0xB0, 0xFC, 0x78, 0xEC, 0x7F}}};
        ComPtr<_TextColor> current;
        ASSERT_EQ(control->QueryInterface(IID__TextColor, reinterpret_cast<void**>(current.Address())), S_OK);
        for (const IID& iid : older) {
            ComPtr<IUnknown> answered;
            ASSERT_EQ(control->QueryInterface(iid, reinterpret_cast<void**>(answered.Address())), S_OK);
            EXPECT_EQ(static_cast<void*>(answered.Get()), static_cast<void*>(current.Get()));
        }
        ComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Address())),
                  S_OK);
        ComPtr<IConnectionPoint> point;
        EXPECT_EQ(container->FindConnectionPoint(DIID___TextColor, point.Address()), S_OK);
        ComPtr<IConnectionPoint> olderPoint;
        const IID olderEvents = {0xD127C4F0, 0xF538, 0x4C48, {0xA8, 0x91, 0xCD, 0xD2, 0x00, 0xD2, 0x83, 0x05}};
        EXPECT_EQ(container->FindConnectionPoint(olderEvents, olderPoint.Address()), S_OK);
    }
    CoFreeUnusedLibraries();

    ASSERT_EQ(RunRegsvr32(L"/u /s"), 0U);
    EXPECT_FALSE(KeyExists(ClassKey()));
    EXPECT_FALSE(KeyExists(L"Lumen_Control.TextColor"));
    EXPECT_FALSE(KeyExists(L"TypeLib\\{4736CE68-249C-4798-871D-8E40CCB880AC}\\29.2"));
}

}  // namespace

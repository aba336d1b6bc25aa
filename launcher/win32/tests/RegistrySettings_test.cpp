#include "launcher/win32/RegistrySettings.h"

#include <gtest/gtest.h>

#include <string>

#include "common/win32/TextConvert.h"

namespace {

using launcher::LauncherSettings;
using launcher::win::RegistrySettings;

// Stands for startqvl.ini: counts whether it was asked.
class FileSettings : public launcher::ISettingsSource {
public:
    bool Load(LauncherSettings& settings, std::string&) override {
        ++calls;
        settings = {"http://from.file", "FileCode", "file.salt"};
        return true;
    }
    int calls = 0;
};

// A key of its own below HKLM\SOFTWARE, written in the 32-bit view as the
// 32-bit installation package writes it.
class RegistrySettingsTest : public testing::Test {
protected:
    void SetUp() override {
        subKey_ = L"SOFTWARE\\QvSettingsTest-" + std::to_wstring(GetCurrentProcessId());
        name_ = "HKEY_LOCAL_MACHINE\\" + qv::win::Narrow(subKey_);
        Delete();
    }
    void TearDown() override { Delete(); }

    void Delete() {
        for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), view, 0);
        }
    }

    void Set(const wchar_t* name, const std::wstring& text, REGSAM view = KEY_WOW64_32KEY) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    void SetNumber(const wchar_t* name, DWORD number) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
        RegCloseKey(key);
    }

    void SetAll() {
        Set(L"ServiceUrl", L"http://10.0.0.5:8080/");
        Set(L"CustomerCode", L"北京市第一中学");
        Set(L"SigningSalt", L"abc.def.ghijkl");
    }

    RegistrySettings Source() { return RegistrySettings(file_, HKEY_LOCAL_MACHINE, subKey_, name_); }

    std::wstring subKey_;
    std::string name_;
    FileSettings file_;
};

TEST_F(RegistrySettingsTest, TheKeyWinsOverTheFileWhole) {
    SetAll();
    LauncherSettings settings;
    std::string error;
    ASSERT_TRUE(Source().Load(settings, error)) << error;
    EXPECT_EQ(settings.serviceUrl, "http://10.0.0.5:8080");
    EXPECT_EQ(settings.customerCode, "北京市第一中学");
    EXPECT_EQ(settings.signingSalt, "abc.def.ghijkl");
    EXPECT_EQ(file_.calls, 0);
}

TEST_F(RegistrySettingsTest, WithoutTheKeyTheFileIsRead) {
    LauncherSettings settings;
    std::string error;
    ASSERT_TRUE(Source().Load(settings, error));
    EXPECT_EQ(file_.calls, 1);
    EXPECT_EQ(settings.customerCode, "FileCode");
}

TEST_F(RegistrySettingsTest, OnlyThe32BitViewCounts) {
    Set(L"ServiceUrl", L"http://h", KEY_WOW64_64KEY);
    Set(L"CustomerCode", L"c", KEY_WOW64_64KEY);
    Set(L"SigningSalt", L"s", KEY_WOW64_64KEY);
    LauncherSettings settings;
    std::string error;
    ASSERT_TRUE(Source().Load(settings, error));
#ifdef _WIN64
    EXPECT_EQ(file_.calls, 1) << "a key in the 64-bit view only was taken for the machine's settings";
#else
    EXPECT_EQ(file_.calls, 0);  // a 32-bit program has one view
#endif
}

TEST_F(RegistrySettingsTest, AGapInTheKeyIsNamedAndTheFileIsNotAsked) {
    struct Case {
        const wchar_t* drop;  // value left out, or null
        const wchar_t* url;
        const char* problem;
    };
    const Case cases[] = {
        {L"ServiceUrl", L"http://h", " 缺少 ServiceUrl。"},
        {L"CustomerCode", L"http://h", " 缺少 CustomerCode。"},
        {L"SigningSalt", L"http://h", " 缺少 SigningSalt。"},
        {nullptr, L"ftp://h", " 中 ServiceUrl 不是 http:// 或 https:// 地址。"},
        {nullptr, L"http://", " 中 ServiceUrl 不是 http:// 或 https:// 地址。"},
    };
    for (const Case& c : cases) {
        Delete();
        for (const auto& [name, text] :
             {std::pair{L"ServiceUrl", std::wstring(c.url)}, std::pair{L"CustomerCode", std::wstring(L"c")},
              std::pair{L"SigningSalt", std::wstring(L"s")}}) {
            if (!c.drop || std::wstring(c.drop) != name) {
                Set(name, text);
            }
        }
        LauncherSettings settings{"before", "before", "before"};
        std::string error;
        EXPECT_FALSE(Source().Load(settings, error)) << c.problem;
        EXPECT_EQ(error, "注册表项 " + name_ + c.problem);
        EXPECT_EQ(settings.serviceUrl, "before");
    }
    EXPECT_EQ(file_.calls, 0);
}

TEST_F(RegistrySettingsTest, EmptyTextAndOtherTypesCountAsMissing) {
    SetAll();
    Set(L"SigningSalt", L"");
    LauncherSettings settings;
    std::string error;
    EXPECT_FALSE(Source().Load(settings, error));
    EXPECT_EQ(error, "注册表项 " + name_ + " 缺少 SigningSalt。");

    SetAll();
    SetNumber(L"CustomerCode", 7);
    EXPECT_FALSE(Source().Load(settings, error));
    EXPECT_EQ(error, "注册表项 " + name_ + " 缺少 CustomerCode。");
    EXPECT_EQ(file_.calls, 0);
}

}  // namespace

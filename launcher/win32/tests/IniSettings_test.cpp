#include "launcher/win32/IniSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"

namespace {

namespace fs = std::filesystem;
using launcher::LauncherSettings;
using launcher::win::IniSettings;

enum class Encoding { Ansi, Utf16 };

// Each file gets a folder of its own: the system caches profile files by name.
class IniSettingsTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("qv-ini-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string NewFolder() {
        const fs::path folder = root_ / std::to_string(++folders_);
        fs::create_directories(folder);
        return qv::win::Narrow(folder.wstring());
    }

    static void Write(const std::string& folder, const std::string& text, Encoding encoding) {
        std::ofstream out(fs::path(qv::win::Widen(folder)) / L"startqvl.ini", std::ios::binary);
        if (encoding == Encoding::Ansi) {
            out << qv::win::ToAnsi(text);
            return;
        }
        const std::wstring wide = qv::win::Widen(text);
        out << "\xFF\xFE";
        for (const wchar_t unit : wide) {
            out.put(static_cast<char>(unit & 0xFF)).put(static_cast<char>((unit >> 8) & 0xFF));
        }
    }

    fs::path root_;
    int folders_ = 0;
};

TEST_F(IniSettingsTest, ReadsTheThreeKeysAndTrimsTheServiceAddress) {
    struct Case {
        const char* file;
        Encoding encoding;
        LauncherSettings expected;
    };
    const Case cases[] = {
        {"[Update]\r\nServiceUrl=http://10.0.0.5:8080\r\nCustomerCode=School01\r\nSigningSalt=abc.def.ghijkl\r\n",
         Encoding::Ansi,
         {"http://10.0.0.5:8080", "School01", "abc.def.ghijkl"}},
        {"[Other]\r\nCustomerCode=wrong\r\n[Update]\r\nServiceUrl=http://update.example/\r\n"
         "CustomerCode=School01\r\nSigningSalt=salt\r\n",
         Encoding::Ansi,
         {"http://update.example", "School01", "salt"}},
        {"[Update]\r\nServiceUrl=HTTPS://update.example:8443/qv//\r\nCustomerCode = C7 \r\nSigningSalt=s\r\n",
         Encoding::Ansi,
         {"HTTPS://update.example:8443/qv", "C7", "s"}},
        {"[Update]\r\nServiceUrl=http://10.0.0.5\r\nCustomerCode=北京市第一中学\r\nSigningSalt=salt\r\n",
         Encoding::Utf16,
         {"http://10.0.0.5", "北京市第一中学", "salt"}},
    };
    for (const Case& c : cases) {
        const std::string folder = NewFolder();
        Write(folder, c.file, c.encoding);
        LauncherSettings settings;
        std::string error;
        ASSERT_TRUE(IniSettings(folder).Load(settings, error)) << c.file << error;
        EXPECT_EQ(settings.serviceUrl, c.expected.serviceUrl) << c.file;
        EXPECT_EQ(settings.customerCode, c.expected.customerCode) << c.file;
        EXPECT_EQ(settings.signingSalt, c.expected.signingSalt) << c.file;
        EXPECT_EQ(error, "");
    }
}

TEST_F(IniSettingsTest, AnAnsiFileIsReadInTheSystemCodePage) {
    if (GetACP() != 936) {
        GTEST_SKIP() << "needs the Chinese ANSI code page 936";
    }
    const std::string folder = NewFolder();
    Write(folder, "[Update]\r\nServiceUrl=http://h\r\nCustomerCode=第一中学\r\nSigningSalt=s\r\n", Encoding::Ansi);
    LauncherSettings settings;
    std::string error;
    ASSERT_TRUE(IniSettings(folder).Load(settings, error)) << error;
    EXPECT_EQ(settings.customerCode, "第一中学");
}

TEST_F(IniSettingsTest, EveryGapIsNamedAndNothingIsHandedOut) {
    struct Case {
        const char* file;
        const char* problem;  // the text after the file's path
    };
    const Case cases[] = {
        {"[Update]\r\nCustomerCode=c\r\nSigningSalt=s\r\n", " 的 [Update] 节缺少 ServiceUrl。"},
        {"[Update]\r\nServiceUrl=http://h\r\nSigningSalt=s\r\n", " 的 [Update] 节缺少 CustomerCode。"},
        {"[Update]\r\nServiceUrl=http://h\r\nCustomerCode=c\r\nSigningSalt=\r\n", " 的 [Update] 节缺少 SigningSalt。"},
        {"[Update]\r\nServiceUrl=http://h\r\nCustomerCode=   \r\nSigningSalt=s\r\n",
         " 的 [Update] 节缺少 CustomerCode。"},
        {"[Other]\r\nServiceUrl=http://h\r\nCustomerCode=c\r\nSigningSalt=s\r\n", " 的 [Update] 节缺少 ServiceUrl。"},
        {"", " 的 [Update] 节缺少 ServiceUrl。"},
        {"[Update]\r\nServiceUrl=ftp://h\r\nCustomerCode=c\r\nSigningSalt=s\r\n",
         " 的 [Update] 节中 ServiceUrl 不是 http:// 或 https:// 地址。"},
        {"[Update]\r\nServiceUrl=10.0.0.5:8080\r\nCustomerCode=c\r\nSigningSalt=s\r\n",
         " 的 [Update] 节中 ServiceUrl 不是 http:// 或 https:// 地址。"},
        {"[Update]\r\nServiceUrl=http:///\r\nCustomerCode=c\r\nSigningSalt=s\r\n",
         " 的 [Update] 节中 ServiceUrl 不是 http:// 或 https:// 地址。"},
    };
    for (const Case& c : cases) {
        const std::string folder = NewFolder();
        Write(folder, c.file, Encoding::Ansi);
        LauncherSettings settings{"before", "before", "before"};
        std::string error;
        EXPECT_FALSE(IniSettings(folder).Load(settings, error)) << c.file;
        EXPECT_EQ(error, "设置文件 " + folder + "\\startqvl.ini" + c.problem) << c.file;
        EXPECT_EQ(settings.serviceUrl, "before") << c.file;
        EXPECT_EQ(settings.customerCode, "before") << c.file;
    }
}

TEST_F(IniSettingsTest, AMissingFileIsNamed) {
    const std::string folder = NewFolder();
    fs::create_directory(fs::path(qv::win::Widen(folder)) / L"startqvl.ini");  // a folder is not the file
    const std::string absent = qv::win::Narrow((root_ / L"absent").wstring());
    for (const std::string& place : {absent, folder}) {
        LauncherSettings settings;
        std::string error;
        EXPECT_FALSE(IniSettings(place).Load(settings, error));
        EXPECT_EQ(error, "找不到设置文件 " + place + "\\startqvl.ini。");
    }
}

TEST_F(IniSettingsTest, PublisherKeysAreOptionalButMustBeKeysWhenPresent) {
    const std::string base = "[Update]\r\nServiceUrl=http://h\r\nCustomerCode=c\r\nSigningSalt=s\r\n";
    const std::string key(86, 'A');
    const std::string two = key + "==, " + key + "==";
    struct Case {
        std::string line;
        bool loads;
        std::optional<std::string> keys;
    };
    const Case cases[] = {
        {"", true, std::nullopt},
        {"PublisherKeys=" + two + "\r\n", true, two},
        {"PublisherKeys=\r\n", false, std::nullopt},
        {"PublisherKeys=" + key + "\r\n", false, std::nullopt},  // padding left out
        {"PublisherKeys=" + key + "==,\r\n", false, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::string folder = NewFolder();
        Write(folder, base + c.line, Encoding::Ansi);
        LauncherSettings settings;
        std::string error;
        EXPECT_EQ(IniSettings(folder).Load(settings, error), c.loads) << c.line;
        if (c.loads) {
            EXPECT_EQ(settings.publisherKeys, c.keys) << c.line;
        } else {
            EXPECT_NE(error.find(folder + "\\startqvl.ini"), std::string::npos) << error;
            EXPECT_NE(error.find("PublisherKeys"), std::string::npos) << error;
        }
    }
}

}  // namespace

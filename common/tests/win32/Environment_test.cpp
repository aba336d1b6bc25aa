#include "common/win32/Environment.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/win32/WindowsApi.h"

namespace {

TEST(EnvironmentText, ReadsAnyLengthAndTakesEmptyAsUnset) {
    constexpr const wchar_t* kName = L"QV_ENVIRONMENT_TEST";
    struct Case {
        std::optional<std::wstring> set;  // nullopt: the variable is removed
        std::optional<std::wstring> read;
    };
    const std::wstring longText(5000, L'x');
    const Case cases[] = {
        {std::nullopt, std::nullopt},
        {L"", std::nullopt},
        {L"C:\\Users\\教师\\AppData\\Local", L"C:\\Users\\教师\\AppData\\Local"},
        {std::wstring(63, L'a'), std::wstring(63, L'a')},  // fits the first buffer with its terminator
        {std::wstring(64, L'b'), std::wstring(64, L'b')},  // needs the second
        {longText, longText},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(SetEnvironmentVariableW(kName, c.set ? c.set->c_str() : nullptr) || !c.set);
        EXPECT_EQ(qv::win::EnvironmentText(kName), c.read) << (c.set ? c.set->size() : 0);
    }
    SetEnvironmentVariableW(kName, nullptr);
}

}  // namespace

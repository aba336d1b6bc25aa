#include "launcher/win32/WinSystemInfo.h"

#include <gtest/gtest.h>

#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"

namespace {

TEST(WinSystemInfo, TheSystemFolderWithoutTrailingSeparator) {
    const std::string folder = launcher::win::WinSystemInfo().SystemDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    const DWORD attributes = GetFileAttributesW(qv::win::Widen(folder).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder;
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);

    wchar_t wide[MAX_PATH];
    const UINT length = GetSystemDirectoryW(wide, MAX_PATH);
    EXPECT_EQ(folder, qv::win::Narrow(std::wstring_view(wide, length)));
}

}  // namespace

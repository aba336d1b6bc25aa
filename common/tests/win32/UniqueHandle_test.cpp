#include "common/win32/UniqueHandle.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using qv::win::UniqueHandle;

HANDLE NewEvent() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(UniqueHandle, BothNoHandleValuesAreEmpty) {
    EXPECT_FALSE(UniqueHandle());
    EXPECT_FALSE(UniqueHandle(nullptr));
    EXPECT_FALSE(UniqueHandle(INVALID_HANDLE_VALUE));
}

TEST(UniqueHandle, ClosesWhenDestroyedOrReset) {
    HANDLE raw = NewEvent();
    {
        UniqueHandle handle(raw);
        ASSERT_TRUE(handle);
        EXPECT_EQ(handle.Get(), raw);
    }
    EXPECT_FALSE(IsOpen(raw));

    raw = NewEvent();
    UniqueHandle handle(raw);
    HANDLE second = NewEvent();
    handle.Reset(second);
    EXPECT_FALSE(IsOpen(raw));
    EXPECT_TRUE(IsOpen(second));
    handle.Reset(second);  // the same handle again stays open
    EXPECT_TRUE(IsOpen(second));
    handle.Reset();
    EXPECT_FALSE(IsOpen(second));
}

TEST(UniqueHandle, MovesPassOwnership) {
    HANDLE raw = NewEvent();
    UniqueHandle first(raw);
    UniqueHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), raw);

    HANDLE other = NewEvent();
    UniqueHandle third(other);
    third = std::move(second);
    EXPECT_FALSE(IsOpen(other));
    EXPECT_EQ(third.Get(), raw);
    EXPECT_TRUE(IsOpen(raw));

    UniqueHandle& alias = third;
    third = std::move(alias);
    EXPECT_TRUE(IsOpen(raw));

    EXPECT_EQ(third.Release(), raw);  // given up, not closed
    EXPECT_FALSE(third);
    EXPECT_TRUE(IsOpen(raw));
    CloseHandle(raw);
}

}  // namespace

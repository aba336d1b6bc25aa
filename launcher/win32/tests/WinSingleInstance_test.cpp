#include "launcher/win32/WinSingleInstance.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using launcher::win::WinSingleInstance;

TEST(WinSingleInstance, OneHolderAtATimeAndTheNextOnceItIsGone) {
    auto first = std::make_unique<WinSingleInstance>();
    ASSERT_TRUE(first->Acquire());
    EXPECT_TRUE(first->Acquire());  // asking again keeps what it holds

    WinSingleInstance second;
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.Acquire());

    first.reset();
    EXPECT_TRUE(second.Acquire());  // a refused copy kept nothing that outlives the holder
    WinSingleInstance third;
    EXPECT_FALSE(third.Acquire());
}

}  // namespace

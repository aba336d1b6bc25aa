#include "launcher/clsProgramFiles.h"

#include <gtest/gtest.h>

#include <memory>

namespace launcher {
namespace {

TEST(clsProgramFiles, ItemIsOneBasedAndNullOutside) {
    clsProgramFiles files;
    EXPECT_EQ(files.Count(), 0);
    EXPECT_EQ(files.Item(1), nullptr);
    auto first = std::make_shared<clsProgramFile>();
    auto second = std::make_shared<clsProgramFile>();
    files.Add(first);
    files.Add(second);
    files.Add(first);  // duplicates are kept
    EXPECT_EQ(files.Count(), 3);
    EXPECT_EQ(files.Item(1), first);
    EXPECT_EQ(files.Item(2), second);
    EXPECT_EQ(files.Item(3), first);
    for (std::int16_t outside : {0, 4, -1, -32768}) EXPECT_EQ(files.Item(outside), nullptr) << outside;
}

}  // namespace
}  // namespace launcher

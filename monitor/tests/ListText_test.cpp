#include "monitor/ListText.h"

#include <gtest/gtest.h>

#include "common/AppError.h"

namespace monitor {
namespace {

TEST(SplitList, PiecesStayExactlyAsWritten) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {" 10.0.0.1 ,10.0.0.2", {" 10.0.0.1 ", "10.0.0.2"}},
        {"a;b,c", {"a;b", "c"}},
    };
    for (const auto& [text, pieces] : cases) {
        EXPECT_EQ(SplitList(text), pieces) << text;
    }
}

TEST(PortNumber, ConvertsLikeTheRuntimeOrFails) {
    EXPECT_EQ(PortNumber("4370"), 4370);
    EXPECT_EQ(PortNumber(" 4370 "), 4370);
    EXPECT_EQ(PortNumber("4370.5"), 4370);
    EXPECT_EQ(PortNumber("-1"), -1);
    for (const char* bad : {"", "x", "43 70", "4370a"}) {
        try {
            PortNumber(bad);
            ADD_FAILURE() << bad;
        } catch (const qv::AppError& error) {
            EXPECT_EQ(error.Number(), 13) << bad;
        }
    }
    try {
        PortNumber("2147483648");
        ADD_FAILURE();
    } catch (const qv::AppError& error) {
        EXPECT_EQ(error.Number(), 6);
    }
}

}  // namespace
}  // namespace monitor

#include "testbed/update-service/RawQuery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testbed {
namespace {

// Suite names start with "update" so that `ctest -R update` selects them.
TEST(updateRawQuery, SplitsAtAmpersandsAndTheFirstEqualsWithoutDecoding) {
    struct Case {
        std::string query;
        std::vector<std::pair<std::string, std::string>> params;
    };
    const Case cases[] = {
        {"", {}},
        {"cid=School01&rnd=42&db=&sign=ab", {{"cid", "School01"}, {"rnd", "42"}, {"db", ""}, {"sign", "ab"}}},
        {"cid=a%20b+c&db=x%26y", {{"cid", "a%20b+c"}, {"db", "x%26y"}}},
        {"cid=a=b=c", {{"cid", "a=b=c"}}},
        {"cid=A&B&rnd=1", {{"cid", "A"}, {"B", ""}, {"rnd", "1"}}},
        {"&&flag&=v&", {{"flag", ""}, {"", "v"}}},
        {"cid=学校 #1", {{"cid", "学校 #1"}}},
    };
    for (const auto& c : cases) {
        std::vector<std::pair<std::string, std::string>> got;
        for (const auto& param : ParseRawQuery(c.query)) got.emplace_back(param.key, param.value);
        EXPECT_EQ(got, c.params) << c.query;
    }
}

TEST(updateRawQuery, FindsTheFirstPieceWithTheKey) {
    const auto query = ParseRawQuery("rnd=1&Cid=X&cid=&cid=second");
    EXPECT_EQ(FindParam(query, "cid"), "");
    EXPECT_EQ(FindParam(query, "Cid"), "X");
    EXPECT_EQ(FindParam(query, "sign"), std::nullopt);
}

TEST(updateRawQuery, SplitsTheTargetAtTheFirstQuestionMark) {
    EXPECT_EQ(QueryOfTarget("/api/x?cid=a?b&rnd=1"), "cid=a?b&rnd=1");
    EXPECT_EQ(PathOfTarget("/api/x?cid=a?b&rnd=1"), "/api/x");
    EXPECT_EQ(QueryOfTarget("/api/x"), "");
    EXPECT_EQ(PathOfTarget("/api/x"), "/api/x");
    EXPECT_EQ(QueryOfTarget("/api/x?"), "");
}

}  // namespace
}  // namespace testbed

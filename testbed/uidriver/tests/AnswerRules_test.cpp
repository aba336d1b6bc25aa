#include "testbed/uidriver/AnswerRules.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using testbed::AnswerRules;

TEST(AnswerRules, EachRuleAnswersTheFirstBoxItMatchesOnly) {
    AnswerRules rules({{"下载", 7}, {"下载", 6}, {"", 2}});
    EXPECT_EQ(rules.Take("是否继续下载？"), 7);
    EXPECT_EQ(rules.Take("是否继续下载？"), 6);  // the repeated rule, in turn
    EXPECT_EQ(rules.Take("系统已经运行。"), 2);  // the empty text part matches anything
    EXPECT_EQ(rules.Take("是否继续下载？"), std::nullopt);
}

TEST(AnswerRules, EarlierRulesWinAndUnmatchedOnesWait) {
    AnswerRules rules({{"错误", 1}, {"网络错误", 2}});
    EXPECT_EQ(rules.Take("提示"), std::nullopt);
    EXPECT_EQ(rules.Take("网络错误或者升级文件版本信息解析错误。"), 1);
    EXPECT_EQ(rules.Take("网络错误或者升级文件版本信息解析错误。"), 2);
}

}  // namespace

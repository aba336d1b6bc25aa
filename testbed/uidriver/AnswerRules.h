#pragma once
// Which button answers a message box: the --answer rules, each used up by the
// first box it picks a button for, so that repeating a rule answers a series
// of boxes in turn.
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "DriverOptions.h"

namespace testbed {

class AnswerRules {
public:
    explicit AnswerRules(std::vector<AnswerRule> rules) : m_rules(std::move(rules)) {}

    // The button of the first unused rule whose text part occurs in `boxText`
    // (byte for byte); that rule is used up. Empty when no rule applies.
    std::optional<int> Take(std::string_view boxText);

private:
    std::vector<AnswerRule> m_rules;
    std::vector<bool> m_used = std::vector<bool>(m_rules.size(), false);
};

}  // namespace testbed

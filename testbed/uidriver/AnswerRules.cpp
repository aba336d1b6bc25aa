#include "AnswerRules.h"

#include <cstddef>

namespace testbed {

std::optional<int> AnswerRules::Take(std::string_view boxText) {
    for (std::size_t i = 0; i < m_rules.size(); ++i) {
        if (!m_used[i] && boxText.find(m_rules[i].textPart) != std::string_view::npos) {
            m_used[i] = true;
            return m_rules[i].button;
        }
    }
    return std::nullopt;
}

}  // namespace testbed

#pragma once
// Records every box shown and answers from a queue, then with OK.
#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "launcher/Platform.h"

namespace launcher {

struct ShownBox {
    std::string text;
    std::string title;
    unsigned flags = 0;

    bool operator==(const ShownBox&) const = default;
};
std::ostream& operator<<(std::ostream& out, const ShownBox& box);

class FakeMessageBox : public IMessageBox {
public:
    int Show(const std::string& text, const std::string& title, unsigned flags) override;

    void QueueAnswer(int answer) { answers_.push_back(answer); }
    const std::vector<ShownBox>& Shown() const { return shown_; }

private:
    std::deque<int> answers_;
    std::vector<ShownBox> shown_;
};

}  // namespace launcher

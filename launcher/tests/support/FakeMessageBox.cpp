#include "FakeMessageBox.h"

namespace launcher {

std::ostream& operator<<(std::ostream& out, const ShownBox& box) {
    return out << "box \"" << box.title << "\" flags 0x" << std::hex << box.flags << std::dec << ": \"" << box.text
               << "\"";
}

int FakeMessageBox::Show(const std::string& text, const std::string& title, unsigned flags) {
    shown_.push_back({text, title, flags});
    if (answers_.empty()) return mb::IdOk;
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

}  // namespace launcher

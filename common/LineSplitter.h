#pragma once
// Cuts a byte stream into lines ending in LF (a CR before the LF is dropped),
// for the line protocols between the test bed's programs.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

class LineSplitter {
public:
    void Add(std::string_view bytes) { buffer_.append(bytes); }
    // The next complete line, without its line end; nothing while none is complete.
    std::optional<std::string> Next();
    std::size_t Pending() const { return buffer_.size(); }
    void Clear() { buffer_.clear(); }

private:
    std::string buffer_;
};

}  // namespace qv

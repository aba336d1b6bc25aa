#pragma once
// One ordered record of what the fakes saw, so tests can check the order of
// windows, boxes and processes across several fakes.
#include <string>
#include <vector>

namespace launcher {

struct EventLog {
    std::vector<std::string> events;
    void Add(std::string event) { events.push_back(std::move(event)); }
};

}  // namespace launcher

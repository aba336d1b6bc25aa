#pragma once
// Follows the top-level windows of the watched classes and records a window's
// state each time it changes: first sight, its title and process, position,
// size, visibility, the texts of its child windows, topmost; and its end.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "EventLog.h"
#include "common/win32/WindowsApi.h"

namespace testbed {

class WindowWatcher {
public:
    WindowWatcher(std::vector<std::string> classNames, EventLog& log)
        : m_classNames(std::move(classNames)), m_log(log) {}

    void Poll(const std::vector<HWND>& topLevel);

private:
    struct Seen {
        std::string className;
        std::string line;  // last recorded
    };

    std::vector<std::string> m_classNames;
    EventLog& m_log;
    std::map<HWND, Seen> m_seen;
};

}  // namespace testbed

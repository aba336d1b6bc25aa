#include "WindowWatcher.h"

#include <algorithm>
#include <cstdint>
#include <set>

#include "JsonLine.h"
#include "WindowFacts.h"

namespace testbed {
namespace {

std::int64_t HandleNumber(HWND window) { return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(window)); }

std::string StateLine(HWND window, const std::string& className) {
    RECT frame{};
    RECT client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    std::vector<std::string> texts;
    for (HWND child : ChildWindows(window)) {
        if (std::string text = TextOf(child); !text.empty()) {
            texts.push_back(std::move(text));
        }
    }
    return JsonLine()
        .Text("kind", "window")
        .Text("class", className)
        .Number("hwnd", HandleNumber(window))
        .Text("title", TextOf(window))
        .Number("pid", ProcessOf(window))
        .Boolean("visible", IsWindowVisible(window) != FALSE)
        .Number("x", frame.left)
        .Number("y", frame.top)
        .Number("width", frame.right - frame.left)
        .Number("height", frame.bottom - frame.top)
        .Number("clientWidth", client.right)
        .Number("clientHeight", client.bottom)
        .Texts("texts", texts)
        .Boolean("topmost", IsTopmost(window))
        .Number("screenWidth", GetSystemMetrics(SM_CXSCREEN))
        .Number("screenHeight", GetSystemMetrics(SM_CYSCREEN))
        .Str();
}

}  // namespace

void WindowWatcher::Poll(const std::vector<HWND>& topLevel) {
    std::set<HWND> present;
    for (HWND window : topLevel) {
        const std::string className = ClassNameOf(window);
        if (std::find(m_classNames.begin(), m_classNames.end(), className) == m_classNames.end()) {
            continue;
        }
        present.insert(window);
        std::string line = StateLine(window, className);
        Seen& seen = m_seen[window];
        if (line != seen.line) {
            m_log.Write(line);
            seen = {className, std::move(line)};
        }
    }
    for (auto entry = m_seen.begin(); entry != m_seen.end();) {
        if (present.contains(entry->first)) {
            ++entry;
            continue;
        }
        m_log.Write(JsonLine()
                        .Text("kind", "window")
                        .Text("class", entry->second.className)
                        .Number("hwnd", HandleNumber(entry->first))
                        .Boolean("destroyed", true)
                        .Str());
        entry = m_seen.erase(entry);
    }
}

}  // namespace testbed

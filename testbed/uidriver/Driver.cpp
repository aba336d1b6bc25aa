#include "Driver.h"

#include <vector>

#include "JsonLine.h"
#include "MessageBoxTracker.h"
#include "common/win32/TextConvert.h"
#include "WindowFacts.h"
#include "WindowWatcher.h"
#include "common/win32/WindowsApi.h"

namespace testbed {
namespace {

constexpr DWORD kPollMs = 50;

bool FileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

void RunDriver(const DriverOptions& options, EventLog& log) {
    const std::wstring stopFile = qv::win::Widen(options.stopFile);
    const ULONGLONG deadline = GetTickCount64() + 1000ULL * static_cast<ULONGLONG>(options.timeoutSeconds);
    MessageBoxTracker boxes(AnswerRules(options.answers), static_cast<DWORD>(options.answerDelayMs), log);
    WindowWatcher watcher(options.watchClasses, log);
    const char* reason = nullptr;
    for (;;) {
        if (FileExists(stopFile)) {
            reason = "stop";
            break;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            reason = "timeout";
            break;
        }
        const std::vector<HWND> windows = TopLevelWindows();
        boxes.Poll(windows, now);
        watcher.Poll(windows);
        Sleep(kPollMs);
    }
    log.Write(JsonLine().Text("kind", "end").Text("reason", reason).Str());
}

}  // namespace testbed

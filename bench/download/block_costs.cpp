// block_costs [blocks]: what each piece of the download window's per-block
// work costs on this system, in microseconds per 4096-byte block. The window
// is built like the download window (two progress bars over a 200 MB range,
// two labels), so repaints cost what they cost there. The last line is what
// the download window does per block: keep the values, draw them at most every
// 100 ms, service the queue at most every 50 ms.
#include "common/win32/WindowsApi.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "launcher/DownloadTexts.h"
#include "launcher/ScreenPacer.h"
#include "launcher/Sha256.h"
#include "launcher/clsCount.h"
#include "launcher/win32/ShellSizeFormatter.h"
#include "launcher/win32/WinClock.h"
#include "launcher/win32/modPublicFunction.h"

namespace {

constexpr std::int32_t kArchiveBytes = 200 * 1024 * 1024;
constexpr std::int32_t kBlock = 4096;

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Window {
    HWND frame = nullptr, fileBar = nullptr, allBar = nullptr, fileLabel = nullptr, speedLabel = nullptr;
};

Window MakeWindow() {
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    Window w;
    w.frame = CreateWindowExW(0, L"STATIC", L"block costs", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 440, 260,
                              nullptr, nullptr, nullptr, nullptr);
    const auto child = [&](const wchar_t* cls, int y, int cy) {
        return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE, 24, y, 392, cy, w.frame, nullptr, nullptr, nullptr);
    };
    w.fileLabel = child(L"STATIC", 74, 18);
    w.fileBar = child(PROGRESS_CLASSW, 94, 16);
    w.allBar = child(PROGRESS_CLASSW, 158, 16);
    w.speedLabel = child(L"STATIC", 200, 20);
    SendMessageW(w.fileBar, PBM_SETRANGE32, 0, kArchiveBytes);
    SendMessageW(w.allBar, PBM_SETRANGE32, 0, 100);
    UpdateWindow(w.frame);
    return w;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int blocks = argc > 1 ? _wtoi(argv[1]) : 20000;
    if (blocks <= 0) return 2;
    const Window w = MakeWindow();
    std::vector<char> block(kBlock, 'x');
    launcher::win::ShellSizeFormatter formatter;
    launcher::win::WinClock clock;
    launcher::clsCount counter(clock);
    counter.Clear();
    launcher::Sha256 digest;
    wchar_t tempFolder[MAX_PATH];
    GetTempPathW(MAX_PATH, tempFolder);
    const std::wstring tempFile = std::wstring(tempFolder) + L"block_costs.tmp";
    qv::win::UniqueHandle file(
        CreateFileW(tempFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string line;
    std::int32_t barValues[2] = {};
    launcher::ScreenPacer drawPacer(100);
    launcher::ScreenPacer yieldPacer(50);
    volatile std::int32_t sink = 0;

    struct Cost {
        const char* name;
        std::function<void(std::int32_t)> work;
    };
    const std::vector<Cost> costs = {
        {"message pump, nothing queued", [&](std::int32_t) { launcher::win::DoEvents(); }},
        {"GetQueueStatus", [&](std::int32_t) { sink = static_cast<std::int32_t>(GetQueueStatus(QS_ALLINPUT)); }},
        {"GetTickCount", [&](std::int32_t) { sink = static_cast<std::int32_t>(GetTickCount()); }},
        {"two PBM_SETPOS, no pump",
         [&](std::int32_t total) {
             SendMessageW(w.fileBar, PBM_SETPOS, total, 0);
             SendMessageW(w.allBar, PBM_SETPOS, total / (kArchiveBytes / 100), 0);
         }},
        {"two PBM_SETPOS + pump (repaint)",
         [&](std::int32_t total) {
             SendMessageW(w.fileBar, PBM_SETPOS, total, 0);
             SendMessageW(w.allBar, PBM_SETPOS, total / (kArchiveBytes / 100), 0);
             launcher::win::DoEvents();
         }},
        {"SetWindowTextW label + pump",
         [&](std::int32_t) {
             SetWindowTextW(w.speedLabel, qv::win::Widen(line).c_str());
             launcher::win::DoEvents();
         }},
        {"speed line (StrFormatByteSizeA x2)",
         [&](std::int32_t total) { line = launcher::SpeedLine(total, 5 * 1024 * 1024, formatter); }},
        {"speed counter (Count + Speed)",
         [&](std::int32_t) {
             counter.Count(kBlock);
             sink = counter.Speed();
         }},
        {"SHA-256 of the block", [&](std::int32_t) { digest.Update(block.data(), block.size()); }},
        {"WriteFile of the block",
         [&](std::int32_t) {
             DWORD written = 0;
             WriteFile(file.Get(), block.data(), kBlock, &written, nullptr);
         }},
        {"paced: bars every 100 ms, queue every 50 ms",
         [&](std::int32_t total) {
             barValues[0] = total;
             barValues[1] = total / (kArchiveBytes / 100);
             const std::uint32_t now = GetTickCount();
             if (drawPacer.Due(now)) {
                 SendMessageW(w.fileBar, PBM_SETPOS, barValues[0], 0);
                 SendMessageW(w.allBar, PBM_SETPOS, barValues[1], 0);
             }
             if (yieldPacer.Due(now)) launcher::win::DoEvents();
         }},
    };
    std::printf("per 4096-byte block, %d blocks each, under this system\n", blocks);
    for (const Cost& cost : costs) {
        counter.Clear();
        const double started = Now();
        for (int i = 0; i < blocks; ++i)
            cost.work(static_cast<std::int32_t>((i + 1) % (kArchiveBytes / kBlock)) * kBlock);
        const double micros = (Now() - started) * 1e6 / blocks;
        std::printf("  %-36s %9.2f us\n", cost.name, micros);
    }
    file.Reset();
    DeleteFileW(tempFile.c_str());
    DestroyWindow(w.frame);
    return 0;
}

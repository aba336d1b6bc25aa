// What the X server really shows of the wait window: a screenshot of the
// whole screen taken with ImageMagick's import while the window is shown.
// Only under Wine, where Linux programs can be started like Windows ones.
#include "launcher/win32/frmWait.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "WindowTestSupport.h"
#include "common/win32/WindowsApi.h"

namespace {

using launcher::win::frmWait;
using namespace launcher::win::testing_support;

using UnixFileName = char*(__cdecl*)(const wchar_t*);

// The Linux path of a Windows path, or "" outside Wine.
std::string UnixPath(const std::wstring& path) {
    const auto convert = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) {
        return {};
    }
    char* unix = convert(path.c_str());
    if (!unix) {
        return {};
    }
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Starts a shell command line of Linux's. Wine gives no handle to wait on
// for a Linux process, so the caller waits for the file the command makes.
bool StartLinuxShell(const std::string& script) {
    std::wstring commandLine = qv::win::Widen("Z:\\bin\\sh -c \"" + script + "\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    const qv::win::UniqueHandle processHandle(process.hProcess);
    const qv::win::UniqueHandle threadHandle(process.hThread);
    return true;
}

bool WaitForFile(const std::wstring& path, DWORD milliseconds) {
    for (const ULONGLONG end = GetTickCount64() + milliseconds; GetTickCount64() < end; Sleep(50)) {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return true;
        }
    }
    return false;
}

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    const std::uint8_t* At(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// A binary portable pixmap (P6, 8 bits) as convert writes it.
bool ReadPpm(const std::wstring& path, Image& image) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> image.width >> image.height >> maxValue;
    in.get();
    if (!in || magic != "P6" || maxValue != 255 || image.width <= 0 || image.height <= 0) {
        return false;
    }
    image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
    return static_cast<bool>(in);
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

TEST(frmWaitScreenshot, ShowsThePictureAndTheChinesePromptOnTheScreen) {
    const std::wstring folder = qv::win::Widen(ProgramFolder());
    const std::string unixFolder = UnixPath(folder);
    if (unixFolder.empty()) {
        GTEST_SKIP() << "screenshots are taken with Linux programs, under Wine only";
    }
    const std::string png = unixFolder + "/frmWait_screenshot.png";
    const std::string ppm = unixFolder + "/frmWait_screenshot.ppm";
    DeleteFileW((folder + L"\\frmWait_screenshot.ppm").c_str());

    frmWait wait(ProgramFolder(), GetModuleHandleW(nullptr));
    wait.ShowForm("正在连接远程服务...");
    PumpFor(500);  // the X server shows what Wine has drawn a moment later
    const RECT window = WindowRect(wait.Handle());
    const RECT prompt = WindowRect(FindWindowExW(wait.Handle(), nullptr, L"Static", nullptr));

    // The pixmap appears only once both programs have finished.
    ASSERT_TRUE(StartLinuxShell("/usr/bin/import -window root " + Quoted(png) + " && /usr/bin/convert " + Quoted(png) +
                                " -depth 8 ppm:" + Quoted(ppm + ".part") + " && mv " + Quoted(ppm + ".part") + " " +
                                Quoted(ppm)));
    ASSERT_TRUE(WaitForFile(folder + L"\\frmWait_screenshot.ppm", 30000));
    Image shot;
    ASSERT_TRUE(ReadPpm(folder + L"\\frmWait_screenshot.ppm", shot));
    ASSERT_GE(shot.width, window.right);
    ASSERT_GE(shot.height, window.bottom);

    int differing = 0;
    const std::uint8_t* corner = shot.At(window.left + 1, window.top + 1);
    for (int y = window.top; y < window.bottom; ++y) {
        for (int x = window.left; x < window.right; ++x) {
            const std::uint8_t* p = shot.At(x, y);
            differing += (p[0] != corner[0] || p[1] != corner[1] || p[2] != corner[2]) ? 1 : 0;
        }
    }
    EXPECT_GT(differing, 1000) << "the picture is on the screen, not one flat colour";

    int dark = 0;
    for (int y = prompt.top; y < prompt.bottom; ++y) {
        for (int x = prompt.left; x < prompt.right; ++x) {
            const std::uint8_t* p = shot.At(x, y);
            dark += (p[0] + p[1] + p[2] < 3 * 128) ? 1 : 0;
        }
    }
    // Ten characters of a 9-point face, smoothed, leave over a hundred dark pixels.
    EXPECT_GT(dark, 60) << "the prompt's text is drawn";
}

}  // namespace

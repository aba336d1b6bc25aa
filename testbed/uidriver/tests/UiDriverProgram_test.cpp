// uidriver.exe against message boxes that this test shows and a window that
// it watches: what it records and how it answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TestPrograms.h"
#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"

namespace {

namespace fs = std::filesystem;
using namespace testbed::tests;

class UiDriverProgram : public ::testing::Test {
protected:
    UiDriverProgram() : m_folder(L"uidriver") {}

    ~UiDriverProgram() override {
        if (m_driver && WaitForSingleObject(m_driver->process.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_driver->process.Get(), 1);
            WaitForExit(*m_driver);
        }
    }

    fs::path LogFile() const { return m_folder / L"driver log.jsonl"; }
    fs::path StopFile() const { return m_folder / L"stop"; }

    static std::optional<RunningProgram> RunDriver(const std::wstring& arguments) {
        return StartProgram(L"\"" + (ProgramsFolder() / L"uidriver.exe").wstring() + L"\" " + arguments);
    }

    void StartDriver(const std::wstring& extra) {
        m_driver = RunDriver(L"--log \"" + LogFile().wstring() + L"\" --stop \"" + StopFile().wstring() +
                             L"\" --timeout 60 --answer-delay 50 " + extra);
        ASSERT_TRUE(m_driver) << "CreateProcess failed: " << GetLastError();
        // The log is made before the driver first looks at the screen.
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(LogFile()); }));
    }

    std::vector<std::string> StopDriver() {
        CreateEmptyFile(StopFile());
        EXPECT_EQ(WaitForExit(*m_driver), 0u);
        const std::vector<std::string> lines = ReadLines(LogFile());
        EXPECT_FALSE(lines.empty());
        if (!lines.empty()) {
            EXPECT_EQ(lines.back(), R"({"kind":"end","reason":"stop"})");
        }
        return lines;
    }

    ScratchFolder m_folder;
    std::optional<RunningProgram> m_driver;
};

struct BoxCase {
    const wchar_t* title;
    const wchar_t* text;
    UINT flags;
    // Expected, as JSON:
    const char* textJson;
    const char* icon;
    const char* buttons;
    int answer;
};

struct ShownBox {
    const BoxCase* box;
    DWORD_PTR result;
};

DWORD WINAPI ShowBox(void* context) {
    auto* shown = static_cast<ShownBox*>(context);
    shown->result = MessageBoxW(nullptr, shown->box->text, shown->box->title, shown->box->flags);
    return 0;
}

// Shows the box from a thread of its own so that the wait stays bounded; the
// result is the button that closed it, or empty when nobody answered.
std::optional<int> ShowAndWaitForAnswer(const BoxCase& box) {
    auto shown = std::make_unique<ShownBox>(ShownBox{&box, 0});
    const qv::win::UniqueHandle thread(CreateThread(nullptr, 0, ShowBox, shown.get(), 0, nullptr));
    if (!thread) {
        return std::nullopt;
    }
    const auto ended = [&] { return WaitForSingleObject(thread.Get(), 0) == WAIT_OBJECT_0; };
    if (WaitUntil(ended)) {
        return static_cast<int>(shown->result);
    }
    // Nobody answered: close the box so that the thread and the test can end.
    if (HWND window = FindWindowW(L"#32770", box.title)) {
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(box.answer), 0);
    }
    if (!WaitUntil(ended, 5000)) {
        (void)shown.release();  // still the thread's
    }
    return std::nullopt;
}

TEST_F(UiDriverProgram, RecordsEachBoxAndAnswersItByRuleOrDefault) {
    // The launcher's boxes are all system-modal.
    const BoxCase boxes[] = {
        {L"错误", L"获取服务器信息出错，原因如下：\r\n\r\n网络错误或者升级文件版本信息解析错误。",
         MB_SYSTEMMODAL | MB_ICONSTOP,
         R"("获取服务器信息出错，原因如下：\r\n\r\n网络错误或者升级文件版本信息解析错误。")", R"("stop")",
         R"(["确定"])", IDOK},
        {L"提示", L"系统已经运行。", MB_SYSTEMMODAL | MB_ICONEXCLAMATION, R"("系统已经运行。")", R"("exclamation")",
         R"(["确定"])", IDOK},
        {L"提示", L"升级完成", MB_SYSTEMMODAL | MB_ICONINFORMATION, R"("升级完成")", R"("information")", R"(["确定"])",
         IDOK},
        {L"Quorvel", L"启动程序版本：3.24", MB_SYSTEMMODAL, R"("启动程序版本：3.24")", R"("none")", R"(["确定"])",
         IDOK},
        // Picked by the rules: the two for "下载" are used in turn.
        {L"请确认", L"是否取消下载？", MB_SYSTEMMODAL | MB_ICONQUESTION | MB_YESNO, R"("是否取消下载？")",
         R"("question")", R"j(["是(&Y)","否(&N)"])j", IDNO},
        {L"请确认", L"是否取消下载？", MB_SYSTEMMODAL | MB_ICONQUESTION | MB_YESNO, R"("是否取消下载？")",
         R"("question")", R"j(["是(&Y)","否(&N)"])j", IDYES},
        // No rule left: the default button, the second one here.
        {L"请确认", L"是否取消下载？", MB_SYSTEMMODAL | MB_ICONQUESTION | MB_YESNOCANCEL | MB_DEFBUTTON2,
         R"("是否取消下载？")", R"("question")", R"j(["是(&Y)","否(&N)","取消"])j", IDNO},
    };
    StartDriver(L"--answer 下载=7 --answer 下载=6");
    for (const BoxCase& box : boxes) {
        EXPECT_EQ(ShowAndWaitForAnswer(box), box.answer) << qv::win::Narrow(box.text);
    }
    const std::vector<std::string> lines = StopDriver();

    const std::vector<std::string> recorded = LinesOfKind(lines, R"("box")");
    const std::vector<std::string> answers = LinesOfKind(lines, R"("answer")");
    ASSERT_EQ(recorded.size(), std::size(boxes));
    ASSERT_EQ(answers.size(), std::size(boxes));
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        const BoxCase& box = boxes[i];
        const std::string& line = recorded[i];
        SCOPED_TRACE(line);
        EXPECT_EQ(JsonField(line, "title"), "\"" + qv::win::Narrow(box.title) + "\"");
        EXPECT_EQ(JsonField(line, "text"), box.textJson);
        EXPECT_EQ(JsonField(line, "icon"), box.icon);
        EXPECT_EQ(JsonField(line, "buttons"), box.buttons);
        EXPECT_EQ(JsonField(line, "topmost"), "true");
        EXPECT_EQ(JsonField(line, "pid"), std::to_string(GetCurrentProcessId()));
        EXPECT_EQ(JsonField(answers[i], "button"), std::to_string(box.answer));
        EXPECT_EQ(JsonField(answers[i], "closed"), "true");
    }
}

// Stands in for the launcher's wait window: a captionless topmost popup with
// a label, hidden by moving it off the screen.
class WatchedWindow {
public:
    static constexpr wchar_t kClass[] = L"QvTestWatchedWindow";

    WatchedWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClass;
        RegisterClassW(&windowClass);
        const int x = (GetSystemMetrics(SM_CXSCREEN) - 350) / 2;
        const int y = (GetSystemMetrics(SM_CYSCREEN) - 97) / 2;
        m_window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClass, L"系统升级", WS_POPUP | WS_VISIBLE, x, y,
                                   350, 97, nullptr, nullptr, windowClass.hInstance, nullptr);
        m_label = CreateWindowExW(0, L"STATIC", L"正在连接远程服务...", WS_CHILD | WS_VISIBLE, 164, 39, 170, 20,
                                  m_window, nullptr, windowClass.hInstance, nullptr);
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 24, 21, 47, 46, m_window, nullptr,
                        windowClass.hInstance, nullptr);
    }
    ~WatchedWindow() { Destroy(); }

    HWND Handle() const { return m_window; }
    HWND Label() const { return m_label; }
    void Destroy() {
        if (m_window) {
            DestroyWindow(m_window);
            m_window = nullptr;
        }
    }

private:
    HWND m_window = nullptr;
    HWND m_label = nullptr;
};

TEST_F(UiDriverProgram, RecordsAWatchedWindowWheneverItChanges) {
    WatchedWindow watched;
    ASSERT_NE(watched.Handle(), nullptr);
    StartDriver(L"--watch QvTestWatchedWindow");
    const auto windowLines = [&] { return LinesOfKind(ReadLines(LogFile()), R"("window")"); };

    ASSERT_TRUE(WaitUntil([&] { return windowLines().size() >= 1; }));
    const std::string first = windowLines()[0];
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(JsonField(first, "class"), R"("QvTestWatchedWindow")");
    EXPECT_EQ(JsonField(first, "title"), R"("系统升级")");
    EXPECT_EQ(JsonField(first, "pid"), std::to_string(GetCurrentProcessId()));
    EXPECT_EQ(JsonField(first, "visible"), "true");
    EXPECT_EQ(JsonField(first, "x"), std::to_string((screenWidth - 350) / 2));
    EXPECT_EQ(JsonField(first, "y"), std::to_string((screenHeight - 97) / 2));
    EXPECT_EQ(JsonField(first, "width"), "350");
    EXPECT_EQ(JsonField(first, "height"), "97");
    EXPECT_EQ(JsonField(first, "clientWidth"), "350");
    EXPECT_EQ(JsonField(first, "clientHeight"), "97");
    EXPECT_EQ(JsonField(first, "texts"), R"(["正在连接远程服务..."])");  // the empty label is left out
    EXPECT_EQ(JsonField(first, "topmost"), "true");
    EXPECT_EQ(JsonField(first, "screenWidth"), std::to_string(screenWidth));
    EXPECT_EQ(JsonField(first, "screenHeight"), std::to_string(screenHeight));

    // Hidden the launcher's way: moved left out of sight, still visible to the system.
    SetWindowTextW(watched.Label(), L"正在启动系统...");
    SetWindowPos(watched.Handle(), nullptr, -2000, (screenHeight - 97) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] {
        const auto lines = windowLines();
        return !lines.empty() && JsonField(lines.back(), "x") == "-2000" &&
               JsonField(lines.back(), "texts") == R"(["正在启动系统..."])";
    }));
    EXPECT_EQ(JsonField(windowLines().back(), "visible"), "true");

    // No change, no line.
    const std::size_t linesBefore = windowLines().size();
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(windowLines().size(), linesBefore);

    const std::string handle = JsonField(first, "hwnd");
    watched.Destroy();
    ASSERT_TRUE(WaitUntil([&] { return JsonField(windowLines().back(), "destroyed") == "true"; }));
    EXPECT_EQ(JsonField(windowLines().back(), "hwnd"), handle);
    EXPECT_EQ(JsonField(windowLines().back(), "class"), R"("QvTestWatchedWindow")");
    StopDriver();
}

TEST_F(UiDriverProgram, EndsAtItsTimeoutWithoutAStopFile) {
    m_driver = RunDriver(L"--timeout 1 --log \"" + LogFile().wstring() + L"\"");
    ASSERT_TRUE(m_driver);
    EXPECT_EQ(WaitForExit(*m_driver), 0u);
    const std::vector<std::string> lines = ReadLines(LogFile());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), R"({"kind":"end","reason":"timeout"})");
}

TEST_F(UiDriverProgram, BadArgumentsEndWithExitCodeTwo) {
    for (const wchar_t* arguments : {L"--timeout 0", L"--answer 没有按钮", L"--bogus 1"}) {
        m_driver = RunDriver(arguments);
        ASSERT_TRUE(m_driver);
        EXPECT_EQ(WaitForExit(*m_driver), 2u) << qv::win::Narrow(arguments);
    }
}

}  // namespace

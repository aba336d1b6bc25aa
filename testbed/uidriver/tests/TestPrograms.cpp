#include "TestPrograms.h"

#include <fstream>
#include <system_error>

namespace testbed::tests {

namespace fs = std::filesystem;

fs::path ProgramsFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return fs::path(path).parent_path();
}

ScratchFolder::ScratchFolder(std::wstring_view stem) {
    static int counter = 0;
    m_path = fs::temp_directory_path() /
             (std::wstring(stem) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::optional<RunningProgram> StartProgram(const std::wstring& commandLine, std::optional<WORD> show) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (show) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = *show;
    }
    PROCESS_INFORMATION started{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        return std::nullopt;
    }
    CloseHandle(started.hThread);
    RunningProgram program;
    program.process.Reset(started.hProcess);
    program.id = started.dwProcessId;
    return program;
}

std::optional<DWORD> WaitForExit(const RunningProgram& program, DWORD limitMs) {
    if (!WaitUntil([&] { return WaitForSingleObject(program.process.Get(), 0) == WAIT_OBJECT_0; }, limitMs)) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(program.process.Get(), &code);
    return code;
}

bool WaitUntil(const std::function<bool()>& done, DWORD limitMs) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void CreateEmptyFile(const fs::path& file) { std::ofstream{file}; }

std::vector<std::string> ReadLines(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> SplitTabs(std::string_view line) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.emplace_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

std::string JsonField(std::string_view object, std::string_view key) {
    const std::string wanted = "\"" + std::string(key) + "\"";
    int depth = 0;
    bool inString = false;
    std::size_t stringStart = 0;
    std::string_view lastString;
    std::size_t valueStart = std::string_view::npos;
    for (std::size_t i = 0; i < object.size(); ++i) {
        const char c = object[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
                lastString = object.substr(stringStart, i + 1 - stringStart);
            }
            continue;
        }
        switch (c) {
            case '"':
                inString = true;
                stringStart = i;
                break;
            case '{':
            case '[':
                ++depth;
                break;
            case ':':
                if (depth == 1 && lastString == wanted) {
                    valueStart = i + 1;
                }
                break;
            case ',':
            case '}':
            case ']':
                if (depth == 1 && valueStart != std::string_view::npos) {
                    return std::string(object.substr(valueStart, i - valueStart));
                }
                if (c != ',') {
                    --depth;
                }
                break;
            default:
                break;
        }
    }
    return {};
}

std::vector<std::string> LinesOfKind(const std::vector<std::string>& lines, std::string_view kind) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (JsonField(line, "kind") == kind) {
            found.push_back(line);
        }
    }
    return found;
}

}  // namespace testbed::tests

#include "Win32OutputFiles.h"

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace launcher::win {
namespace {

class Win32OutputFile final : public IOutputFile {
public:
    explicit Win32OutputFile(qv::win::UniqueHandle file) : m_file(std::move(file)) {}

    bool Write(const char* data, std::uint32_t size, std::string& error) override {
        DWORD written = 0;
        if (!WriteFile(m_file.Get(), data, size, &written, nullptr) || written != size) {
            error = qv::win::LastErrorText(GetLastError());
            return false;
        }
        return true;
    }

    bool Close(std::string& error) override {
        const HANDLE file = m_file.Release();
        if (!CloseHandle(file)) {
            error = qv::win::LastErrorText(GetLastError());
            return false;
        }
        return true;
    }

private:
    qv::win::UniqueHandle m_file;
};

}  // namespace

namespace {

std::unique_ptr<IOutputFile> Open(const std::string& path, DWORD disposition, std::string& error) {
    qv::win::UniqueHandle file(CreateFileW(qv::win::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER start{};
    if (!file || (disposition == OPEN_EXISTING && !SetFilePointerEx(file.Get(), start, nullptr, FILE_END))) {
        error = qv::win::LastErrorText(GetLastError());
        return nullptr;
    }
    return std::make_unique<Win32OutputFile>(std::move(file));
}

}  // namespace

std::unique_ptr<IOutputFile> Win32OutputFiles::Create(const std::string& path, std::string& error) {
    return Open(path, CREATE_ALWAYS, error);
}

std::unique_ptr<IOutputFile> Win32OutputFiles::Append(const std::string& path, std::string& error) {
    return Open(path, OPEN_EXISTING, error);
}

}  // namespace launcher::win

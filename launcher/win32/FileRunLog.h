#pragma once
// The record of each run in a UTF-8 text file, one line per event, appended:
// %LOCALAPPDATA%\Quorvel\startqvl.log for the launcher. Beyond its size limit
// the file becomes startqvl.1.log (replacing the one before) and a new one is
// begun, so there are two files at most. Nothing here throws or waits: a
// folder or file that cannot be made or written is given up at the first
// failure and the run goes on without a log.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/win32/UniqueHandle.h"
#include "launcher/RunLog.h"

namespace launcher::win {

class FileRunLog final : public IRunLog {
public:
    static constexpr std::uint64_t kSizeLimit = 1024 * 1024;
    static constexpr const wchar_t* kFileName = L"startqvl";

    // `folder` is made when missing (its parent must exist).
    explicit FileRunLog(std::wstring folder, std::uint64_t sizeLimit = kSizeLimit);

    // The user's local application-data folder followed by "\Quorvel"; empty when it is unknown.
    static std::wstring UserLogFolder();

    void Write(std::string_view event) noexcept override;
    void WriteAll(const std::vector<std::string>& events) noexcept override;
    void Conceal(std::string_view secret) noexcept override;

private:
    void Append(const std::string& lines) noexcept;
    bool Open();
    bool Rotate();
    void GiveUp() noexcept;

    std::wstring folder_;
    std::wstring path_;
    std::wstring older_;
    std::uint64_t sizeLimit_;
    qv::win::UniqueHandle file_;
    std::uint64_t size_ = 0;
    bool givenUp_ = false;
    std::vector<std::string> secrets_;
};

}  // namespace launcher::win

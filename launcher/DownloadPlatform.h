#pragma once
// What the update loop needs beyond Platform.h: the download window's
// controls, the HTTP transfer, raw output files, the archiver and regsvr32
// processes, and the platform's size text. The Windows layer implements them
// on Win32 controls, WinINet and the shell; the unit tests give fakes.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace launcher {

enum class ProgressBar { File, All };  // proFile, proALL

class IDownloadView {
public:
    virtual ~IDownloadView() = default;
    virtual void SetBarRange(ProgressBar bar, std::int32_t lMin, std::int32_t lMax) = 0;
    virtual std::int32_t BarMin(ProgressBar bar) const = 0;
    virtual std::int32_t BarMax(ProgressBar bar) const = 0;
    virtual void SetBarValue(ProgressBar bar, std::int32_t lValue) = 0;
    // A bar that only shows that something is happening, for transfers of unknown length.
    virtual void SetBarIndeterminate(ProgressBar bar, bool bIndeterminate) = 0;
    virtual void SetFileText(const std::string& strText) = 0;   // lblFile
    virtual void SetSpeedText(const std::string& strText) = 0;  // m_strSpeed, shown by the speed timer
    // Lets timers and the Cancel button run once. The window may keep the
    // values it was handed and draw them a little later.
    virtual void DoEvents() = 0;
    // Draws the latest values now: the end of a transfer, before the
    // archiver blocks the thread.
    virtual void ShowNow() = 0;
    virtual bool CancelRequested() const = 0;
};

// One opened URL.
class IUrlDownload {
public:
    virtual ~IUrlDownload() = default;
    virtual std::string QueryContentLength() = 0;  // the header's text; empty when absent
    virtual std::string QueryStatusCode() = 0;     // empty when every attempt failed
    // Up to `capacity` bytes; false when the read failed, true with 0 bytes at the end.
    virtual bool ReadBlock(char* buffer, std::uint32_t capacity, std::uint32_t& read) = 0;
};

class IUrlOpener {
public:
    virtual ~IUrlOpener() = default;
    // nullptr when the internet session or the URL could not be opened.
    virtual std::unique_ptr<IUrlDownload> OpenUrl(const std::string& url) = 0;
};

class IOutputFile {
public:
    virtual ~IOutputFile() = default;
    virtual bool Write(const char* data, std::uint32_t size, std::string& error) = 0;
    virtual bool Close(std::string& error) = 0;
};

class IOutputFiles {
public:
    virtual ~IOutputFiles() = default;
    // Creates or truncates the file for raw bytes; nullptr with the reason on failure.
    virtual std::unique_ptr<IOutputFile> Create(const std::string& path, std::string& error) = 0;
};

class IInstallProcesses {
public:
    virtual ~IInstallProcesses() = default;
    // Starts minimised without focus and waits until the process has ended
    // (not waiting when it cannot be opened for that); false with the reason
    // when it could not be started.
    virtual bool RunMinimisedAndWait(const std::string& commandLine, std::string& error) = 0;
    // The same, with the process's exit code when it could be read.
    virtual bool RunMinimisedAndWaitForExit(const std::string& commandLine, std::string& error,
                                            std::optional<std::uint32_t>& exitCode) {
        exitCode.reset();
        return RunMinimisedAndWait(commandLine, error);
    }
    // Starts minimised with focus; not waited for, outcome not looked at.
    virtual void StartMinimised(const std::string& commandLine) = 0;
};

class ISizeFormatter {
public:
    virtual ~ISizeFormatter() = default;
    // The platform's short size text, such as "12.3 KB".
    virtual std::string FormatByteSize(std::int64_t bytes) = 0;
};

}  // namespace launcher

#pragma once
// What the launcher's portable core needs from the platform. The Windows layer
// implements these on Win32, WinINet, MSXML and WMI; the unit tests give fakes.
// All text is UTF-8; conversion to the ANSI code page or UTF-16 happens in the
// implementations.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

// Message box flags and answers, with the values Windows uses.
namespace mb {
constexpr unsigned Ok = 0x0;
constexpr unsigned YesNo = 0x4;
constexpr unsigned IconStop = 0x10;
constexpr unsigned IconQuestion = 0x20;
constexpr unsigned IconExclamation = 0x30;
constexpr unsigned IconInformation = 0x40;
constexpr unsigned DefaultButton2 = 0x100;
constexpr unsigned SystemModal = 0x1000;
constexpr int IdOk = 1;
constexpr int IdYes = 6;
constexpr int IdNo = 7;
}  // namespace mb

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // An empty title means the application's own title. Returns the button pressed.
    virtual int Show(const std::string& text, const std::string& title, unsigned flags) = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // True for an existing normal file; hidden or system files and folders count as absent.
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool DeleteFile(const std::string& path, std::string& error) = 0;
    // Whole file, converted from the system's ANSI code page.
    virtual bool ReadTextFile(const std::string& path, std::string& text, std::string& error) = 0;
    // Creates or truncates the file and writes the text in the ANSI code page,
    // flushed to disk before returning true.
    virtual bool WriteTextFile(const std::string& path, const std::string& text, std::string& error) = 0;
    // Puts `replacement` in the place of `target` (which may be absent) in one step.
    virtual bool ReplaceFile(const std::string& target, const std::string& replacement, std::string& error) = 0;

    // What an update's staging needs. Moves, copies and deletions that meet a
    // file held open by another program (an antivirus scanner looking at a
    // freshly written program) are retried for a few seconds before they fail.
    virtual bool FolderExists(const std::string& path) = 0;
    // Creates the folder; one that already exists is fine.
    virtual bool CreateFolder(const std::string& path, std::string& error) = 0;
    // Deletes the folder with everything in it. A link inside it (junction or
    // symbolic link) is removed itself, never followed.
    virtual bool RemoveFolderTree(const std::string& path, std::string& error) = 0;
    // Names of the files and folders directly inside `path`; empty when there are none.
    virtual std::vector<std::string> ListFolder(const std::string& path) = 0;
    // The size of an existing file, or -1.
    virtual std::int64_t FileSize(const std::string& path) = 0;
    // Moves `from` to `to`, replacing a file there. On another volume the file
    // is copied beside `to` and then renamed into place, so that `to` is
    // never half written.
    virtual bool MoveFile(const std::string& from, const std::string& to, std::string& error) = 0;
    virtual bool CopyFile(const std::string& from, const std::string& to, std::string& error) = 0;
    // False only when this user is denied creating files in the folder (a
    // standard user in the program files or system folder); anything else
    // is left to the step that writes there.
    virtual bool CanWriteFolder(const std::string& path) = 0;
    // Hands the file's raw bytes to `sink` in order.
    virtual bool ReadFileBytes(const std::string& path, const std::function<void(const char*, std::size_t)>& sink,
                               std::string& error) = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual std::uint32_t TickCount() = 0;  // milliseconds since start-up, wrapping
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

class IRandom {
public:
    virtual ~IRandom() = default;
    virtual float NextSingle() = 0;  // 0 <= r < 1
};

class IXmlNode {
public:
    virtual ~IXmlNode() = default;
    virtual std::string Text() const = 0;
    virtual std::unique_ptr<IXmlNode> SelectSingleNode(const std::string& xpath) const = 0;
    virtual std::vector<std::unique_ptr<IXmlNode>> SelectNodes(const std::string& xpath) const = 0;
};

// A parsed response document; one that is not XML has no nodes at all.
class IXmlDocument : public IXmlNode {};

class IHttpClient {
public:
    virtual ~IHttpClient() = default;
    // One synchronous GET; true with the response document when it completed with status 200.
    virtual bool HttpGetXml(const std::string& url, std::unique_ptr<IXmlDocument>& document) = 0;
};

class IProcesses {
public:
    virtual ~IProcesses() = default;
    virtual bool IsProcessRunning(const std::string& strName) = 0;
    virtual void KillProcessByName(const std::string& strName) = 0;
    // Starts the command line with a normal, activated window; does not wait.
    virtual bool StartProcess(const std::string& commandLine, std::string& error) = 0;
};

class ISystemInfo {
public:
    virtual ~ISystemInfo() = default;
    virtual std::string SystemDirectory() = 0;  // without a trailing "\"
};

class ISingleInstance {
public:
    virtual ~ISingleInstance() = default;
    // False when another copy of the launcher already holds the instance.
    virtual bool Acquire() = 0;
};

struct LauncherSettings {
    std::string serviceUrl;
    std::string customerCode;
    std::string signingSalt;
    // [Update] PublisherKeys as written, when the setting is present: then
    // every entry of the service's answer must be signed by one of the keys.
    std::optional<std::string> publisherKeys;
    std::string source;  // where they were read, for the log: the file or the registry key
};

class ISettingsSource {
public:
    virtual ~ISettingsSource() = default;
    // False with a message for the user that names the file and the missing key.
    virtual bool Load(LauncherSettings& settings, std::string& error) = 0;
};

}  // namespace launcher

#pragma once
// The shape of a path that the update service may write under: an absolute
// folder on a local drive, "C:\..." with "\" or "/" between its parts.
// Refused: UNC and device forms ("\\server\share", "\\?\", "\\.\"), relative
// and drive-relative paths ("Quorvel", "\Quorvel", "C:Quorvel"), "." and ".."
// parts, empty parts, the characters < > : " | ? * and control characters,
// parts ending in "." or a blank (Windows drops those, so the name would not
// be the one checked) and device names (CON, NUL, COM1, ...).
#include <optional>
#include <string>
#include <string_view>

namespace updservice {

struct PathCheck {
    std::optional<std::string> path;  // with "\" separators and no trailing one (a drive root keeps "C:\")
    std::string reason;               // why there is none
};

PathCheck CheckLocalPath(std::string_view text);

// A folder that an installation may live in: a local path that is not a drive root.
PathCheck CheckInstallFolder(std::string_view text);

// A single file name as it may stand in a folder: one part by the same rules.
std::optional<std::string> RefuseFileName(std::string_view name);

// True when `path` is `folder` or lies below it; both as CheckLocalPath gives
// them, compared without regard to the case of ASCII letters.
bool IsSameOrInside(std::string_view path, std::string_view folder);

// True when both texts pass CheckLocalPath and name the same folder ("C:/Quorvel/"
// and "c:\QUORVEL" do; "C:\Quorvel2" and "C:\Quorvel" do not).
bool IsSameFolder(std::string_view first, std::string_view second);

}  // namespace updservice

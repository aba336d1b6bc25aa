#pragma once
// Which file under the download folder a request names.
#include <filesystem>
#include <optional>
#include <string_view>

namespace testbed {

// The file for the (percent-decoded) part of the path after "/download/", or
// nullopt when it must be refused: a "..", "." or empty segment (so also a
// leading "/"), a backslash or a NUL. Whether the file exists is not checked.
std::optional<std::filesystem::path> DownloadFile(const std::filesystem::path& root, std::string_view relative);

}  // namespace testbed

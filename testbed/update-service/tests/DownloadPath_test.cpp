#include "testbed/update-service/DownloadPath.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace testbed {
namespace {

TEST(updateDownloadPath, StaysInsideTheFolder) {
    const std::filesystem::path root = "/srv/downloads";
    struct Case {
        std::string relative;
        std::optional<std::filesystem::path> file;
    };
    const Case cases[] = {
        {"Tool.exe.comps", root / "Tool.exe.comps"},
        {"sys/v2/Lumen Control.ocx.comps", root / "sys" / "v2" / "Lumen Control.ocx.comps"},
        {"a..b.comps", root / "a..b.comps"},
        {"..", std::nullopt},
        {"../secret", std::nullopt},
        {"sys/../../secret", std::nullopt},
        {"sys/..", std::nullopt},
        {"./Tool.exe.comps", std::nullopt},
        {"/etc/passwd", std::nullopt},
        {"sys//Tool.exe.comps", std::nullopt},
        {"sys/", std::nullopt},
        {"", std::nullopt},
        {"sys\\Tool.exe.comps", std::nullopt},
        {"..\\secret", std::nullopt},
        {std::string("a\0b", 3), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(DownloadFile(root, c.relative), c.file) << c.relative;
}

}  // namespace
}  // namespace testbed

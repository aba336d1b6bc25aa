#include "launcher/BuildUpdateFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "launcher/tests/support/FakeFileSystem.h"
#include "launcher/tests/support/FakeSystemInfo.h"

namespace launcher {
namespace {

class BuildUpdateFilesTest : public ::testing::Test {
protected:
    FakeFileSystem fileSystem;
    FakeSystemInfo system;
    clsProgramFiles programFiles;
    std::map<std::string, std::string> versionFile;
    std::vector<std::string> asked;
    UpdateFileList updates;

    std::shared_ptr<clsProgramFile> Entry(const std::string& name, std::int32_t version, bool onDisk = true) {
        auto entry = std::make_shared<clsProgramFile>();
        entry->cFileName = name;
        entry->cVersion = version;
        entry->cFilePath = "[CUR_PATH]";
        programFiles.Add(entry);
        if (onDisk) fileSystem.SetFile("C:\\Quorvel\\" + name, "");
        return entry;
    }

    int Build() {
        const VersionLookup lookup = [this](const std::string& name) {
            asked.push_back(name);
            const auto line = versionFile.find(name);
            return line == versionFile.end() ? std::string() : line->second;
        };
        return BuildUpdateFiles(programFiles, lookup, fileSystem, "C:\\Quorvel", system, updates);
    }
};

TEST_F(BuildUpdateFilesTest, ComparesTheLeadingNumberOfTheInstalledVersion) {
    struct Case {
        const char* installed;  // nullptr: no line in the version file
        std::int32_t required;
        bool download;
    };
    const Case cases[] = {
        {nullptr, 0, false}, {nullptr, 1, true}, {"5", 5, false},     {"4.9", 5, true}, {"12abc", 12, false},
        {"abc", 1, true},    {"", 0, false},     {" 1 0", 10, false}, {"6", 5, false},  {"-1", 0, true},
    };
    for (const Case& c : cases) {
        programFiles = clsProgramFiles();
        versionFile.clear();
        Entry("a.dll", c.required);
        if (c.installed) versionFile["a.dll"] = c.installed;
        EXPECT_EQ(Build(), c.download ? 1 : 0) << (c.installed ? c.installed : "(none)") << " vs " << c.required;
    }
}

TEST_F(BuildUpdateFilesTest, MissingOrHiddenFileIsDownloadedWithoutAskingItsVersion) {
    Entry("missing.dll", 3, false);
    Entry("hidden.dll", 3);
    fileSystem.HideFile("C:\\Quorvel\\hidden.dll");
    versionFile = {{"missing.dll", "3"}, {"hidden.dll", "3"}};
    EXPECT_EQ(Build(), 2);
    EXPECT_TRUE(asked.empty());
}

TEST_F(BuildUpdateFilesTest, ReplacesTheListWithTheSameObjectsInOrder) {
    auto stale = std::make_shared<clsProgramFile>();
    updates = {stale};
    auto first = Entry("a.dll", 2);
    Entry("b.dll", 1);
    auto third = Entry("c.dll", 4, false);
    versionFile = {{"a.dll", "1"}, {"b.dll", "1"}};
    EXPECT_EQ(Build(), 2);
    EXPECT_EQ(updates, (UpdateFileList{first, third}));
    EXPECT_EQ(asked, (std::vector<std::string>{"a.dll", "b.dll"}));
}

TEST_F(BuildUpdateFilesTest, EmptyListGivesNothing) {
    updates = {std::make_shared<clsProgramFile>()};
    EXPECT_EQ(Build(), 0);
    EXPECT_TRUE(updates.empty());
}

}  // namespace
}  // namespace launcher

#include "FolderTreeRemoval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace packaging {
namespace {

// Folders and files by full path; a link leads to another folder of the map.
class FakeTree final : public FolderTree {
public:
    std::map<std::string, std::vector<FolderEntry>> folders;
    std::set<std::string> inUse;
    std::vector<std::string> listed;
    std::vector<std::string> removed;

    bool List(const std::string& folder, std::vector<FolderEntry>& entries) override {
        listed.push_back(folder);
        const auto found = folders.find(folder);
        if (found == folders.end()) return false;
        entries = found->second;
        return true;
    }
    bool RemoveFile(const std::string& path) override { return Remove(path); }
    bool RemoveFolder(const std::string& path) override {
        const auto found = folders.find(path);
        if (found == folders.end() || !found->second.empty()) return false;
        folders.erase(found);
        return Remove(path);
    }
    bool RemoveLink(const std::string& path, bool) override { return Remove(path); }

private:
    bool Remove(const std::string& path) {
        if (inUse.count(path)) return false;
        removed.push_back(path);
        const std::size_t cut = path.find_last_of('\\');
        auto& siblings = folders[path.substr(0, cut)];
        std::erase_if(siblings, [&](const FolderEntry& entry) { return entry.name == path.substr(cut + 1); });
        return true;
    }
};

FakeTree Installation() {
    FakeTree tree;
    tree.folders["C:\\Quorvel"] = {{"startqvl.exe", EntryKind::File}, {"FileVersion.cfg", EntryKind::File},
                                   {"lib", EntryKind::Folder},        {"Tools", EntryKind::Folder},
                                   {"shared", EntryKind::FolderLink}, {"notes.txt", EntryKind::FileLink}};
    tree.folders["C:\\Quorvel\\lib"] = {{"a.dll", EntryKind::File}, {"plugins", EntryKind::Folder}};
    tree.folders["C:\\Quorvel\\lib\\plugins"] = {{"b.dll", EntryKind::File}};
    tree.folders["C:\\Quorvel\\Tools"] = {{"Arj32.exe", EntryKind::File}};
    tree.folders["C:\\Quorvel\\shared"] = {{"marks.xls", EntryKind::File}};  // where the link leads
    return tree;
}

TEST(FolderTreeRemoval, RemovesEveryFileAndFolderUnderTheTopAndTheTop) {
    FakeTree tree = Installation();
    const RemovalCount count = RemoveFolderTree(tree, "C:\\Quorvel");
    EXPECT_EQ(count.left, 0);
    EXPECT_EQ(count.removed, 11);
    EXPECT_EQ(tree.folders.count("C:\\Quorvel"), 0u);
    EXPECT_EQ(tree.folders.count("C:\\Quorvel\\lib\\plugins"), 0u);
    EXPECT_EQ(tree.removed.back(), "C:\\Quorvel");
}

TEST(FolderTreeRemoval, LinksAreRemovedAsEntriesAndNeverEntered) {
    FakeTree tree = Installation();
    RemoveFolderTree(tree, "C:\\Quorvel");
    EXPECT_EQ(std::count(tree.listed.begin(), tree.listed.end(), "C:\\Quorvel\\shared"), 0);
    EXPECT_EQ(std::count(tree.removed.begin(), tree.removed.end(), "C:\\Quorvel\\shared\\marks.xls"), 0);
    EXPECT_EQ(std::count(tree.removed.begin(), tree.removed.end(), "C:\\Quorvel\\shared"), 1);
    EXPECT_EQ(std::count(tree.removed.begin(), tree.removed.end(), "C:\\Quorvel\\notes.txt"), 1);
}

TEST(FolderTreeRemoval, AnEntryLeadingElsewhereIsNeitherEnteredNorRemoved) {
    FakeTree tree = Installation();
    tree.folders["C:\\Quorvel"].push_back({"school", EntryKind::Elsewhere});
    tree.folders["C:\\Quorvel\\school"] = {{"marks.xls", EntryKind::File}};
    const RemovalCount count = RemoveFolderTree(tree, "C:\\Quorvel");
    EXPECT_EQ(count.left, 2);  // the entry and the top that holds it
    EXPECT_EQ(std::count(tree.listed.begin(), tree.listed.end(), "C:\\Quorvel\\school"), 0);
    EXPECT_EQ(tree.folders["C:\\Quorvel\\school"].size(), 1u);
    EXPECT_EQ(tree.folders["C:\\Quorvel"].size(), 1u);
}

TEST(FolderTreeRemoval, WhatCannotGoStaysWithItsFoldersAndTheRestGoes) {
    FakeTree tree = Installation();
    tree.inUse.insert("C:\\Quorvel\\lib\\plugins\\b.dll");
    const RemovalCount count = RemoveFolderTree(tree, "C:\\Quorvel");
    EXPECT_EQ(count.left, 4);  // the file, plugins, lib and the top
    EXPECT_EQ(tree.folders.count("C:\\Quorvel\\Tools"), 0u);
    EXPECT_EQ(tree.folders["C:\\Quorvel"].size(), 1u);
}

TEST(FolderTreeRemoval, AnUnreadableOrTooDeepFolderIsLeftAlone) {
    FakeTree tree;
    std::string path = "C:\\Quorvel";
    for (int depth = 0; depth <= kMaxRemovalDepth + 1; ++depth) {
        tree.folders[path] = {{"d", EntryKind::Folder}, {"f", EntryKind::File}};
        path += "\\d";
    }
    const RemovalCount count = RemoveFolderTree(tree, "C:\\Quorvel");
    EXPECT_GT(count.left, 0);
    EXPECT_EQ(tree.listed.size(), static_cast<std::size_t>(kMaxRemovalDepth + 1));
    EXPECT_EQ(tree.folders.count("C:\\Quorvel"), 1u);
}

}  // namespace
}  // namespace packaging

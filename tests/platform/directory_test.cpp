#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/directory.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::vector<platform::DirectoryEntry>& entries) {
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name + (e.isDirectory ? "/" : ""));
    return names;
}

TEST(Directory, SortedLevelWithoutFollowingLinks) {
    ch10fix::TempDir dir;
    for (const char* n : {"b.ch10", "B.ch10", "a.CH10", "c.ch10.bak", "_x"}) std::ofstream(dir.File(n)) << "x";
    fs::create_directory(dir.File("Sub"));
    fs::create_directory_symlink(dir.File("Sub"), dir.File("link"));
    auto entries = platform::ListDirectory(dir.Path());
    EXPECT_EQ(Names(entries),
              (std::vector<std::string>{"_x", "a.CH10", "B.ch10", "b.ch10", "c.ch10.bak", "link", "Sub/"}));
    EXPECT_EQ(entries[1].path, dir.File("a.CH10"));
    EXPECT_TRUE(platform::ListDirectory(dir.File("missing")).empty());
}

TEST(Directory, UnreadableDirectoryListsNothing) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every directory";
    ch10fix::TempDir dir;
    fs::create_directory(dir.File("locked"));
    std::ofstream(dir.File("locked/a.ch10")) << "x";
    fs::permissions(dir.File("locked"), fs::perms::none);
    EXPECT_TRUE(platform::ListDirectory(dir.File("locked")).empty());
    fs::permissions(dir.File("locked"), fs::perms::owner_all);
}

}  // namespace

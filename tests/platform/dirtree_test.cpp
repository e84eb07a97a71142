// The directory chooser's sources: drives, one directory level, and the
// network buffer's cut.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/dirtree.h"
#include "tests/support/temp_dir.h"

namespace platform {
namespace {

TEST(DirTree, OneFixedDriveAtTheRoot) {
    const std::vector<Drive> drives = LocalDrives();
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].root, "/");
    EXPECT_EQ(drives[0].type, kDriveFixed);
}

TEST(DirTree, SubDirectoriesByRealNameWithLinksToDirectories) {
    ch10fix::TempDir dir;
    namespace fs = std::filesystem;
    for (const char* d : {"b", "DATA", "Data", "a/deep", "empty"}) fs::create_directories(dir.File(d));
    std::ofstream(dir.File("file.ch10")) << "x";
    fs::create_directory_symlink(dir.File("a"), dir.File("link"));
    fs::create_symlink(dir.File("file.ch10"), dir.File("filelink"));
    fs::create_directory_symlink(dir.Path(), dir.File("loop"));
    fs::create_symlink(dir.File("missing"), dir.File("dangling"));
    struct Case {
        std::string path;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {dir.Path(), {"a", "b", "DATA", "Data", "empty", "link", "loop"}},
        {dir.File("link"), {"deep"}},
        {dir.File("loop/loop"), {"a", "b", "DATA", "Data", "empty", "link", "loop"}},
        {dir.File("empty"), {}},
        {dir.File("missing"), {}},
        {dir.File("file.ch10"), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SubDirectories(c.path), c.expected) << c.path;
}

TEST(DirTree, NetworkBufferTakesTheLeadingResourcesThatFit) {
    NetResource share;
    share.remoteName = "\\\\srv\\share";  // 11 + 1
    NetResource bare;                      // no texts: the record alone
    NetResource empty;
    empty.comment = "";  // present though empty: its NUL
    EXPECT_EQ(NetResourceBytes(share), 44u);
    EXPECT_EQ(NetResourceBytes(bare), 32u);
    EXPECT_EQ(NetResourceBytes(empty), 33u);
    struct Case {
        std::size_t buffer;
        std::size_t kept;
    };
    const std::vector<NetResource> all = {share, bare, empty};
    for (const Case& c : {Case{0, 0}, Case{43, 0}, Case{44, 1}, Case{76, 2}, Case{108, 2}, Case{109, 3}, Case{16384, 3}})
        EXPECT_EQ(FitIntoBuffer(all, c.buffer).size(), c.kept) << c.buffer;
    NoNetwork none;
    auto top = none.Enumerate(nullptr, 16384);
    ASSERT_TRUE(top.has_value());
    EXPECT_TRUE(top->empty());
}

}  // namespace
}  // namespace platform

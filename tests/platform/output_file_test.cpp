#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "platform/date_text.h"
#include "platform/output_file.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/temp_dir.h"

namespace platform {
namespace {

using ch10fix::ReadText;

TEST(OutputFile, CreatesTruncatesAndWritesBytesAsGiven) {
    ch10fix::TempDir dir;
    const std::string path = dir.File("out.txt");
    std::ofstream(path) << "previous contents that are longer";
    const mode_t old = ::umask(022);
    OutputFile f = OutputFile::Open(path);
    ::umask(old);
    ASSERT_TRUE(f.IsOpen());
    EXPECT_TRUE(f.WriteAll("a\r\nb\n"));
    OutputFile moved = std::move(f);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_TRUE(moved.WriteAll(std::string(100000, 'z')));
    moved.Close();
    EXPECT_FALSE(moved.WriteAll("x"));
    EXPECT_EQ(ReadText(path), "a\r\nb\n" + std::string(100000, 'z'));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(OutputFile, DevicePrefixOpensAnExistingFileInPlace) {
    ch10fix::TempDir dir;
    const std::string path = dir.File("image");
    std::ofstream(path) << "0123456789";
    OutputFile f = OutputFile::Open("\\\\.\\" + path);
    ASSERT_TRUE(f.IsOpen());
    EXPECT_TRUE(f.WriteAll("ab"));
    f.Close();
    EXPECT_EQ(ReadText(path), "ab23456789");

    OutputFile missing = OutputFile::Open("\\\\.\\" + dir.File("absent"));
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(std::filesystem::exists(dir.File("absent")));
    // Three characters are no prefix: the name is created as it is.
    OutputFile plain = OutputFile::Open(dir.File("\\\\.x"));
    EXPECT_TRUE(plain.IsOpen());
}

TEST(OutputFile, FailedWritesKeepTheReason) {
    OutputFile none;
    EXPECT_FALSE(none.WriteAll("x"));
    if (std::filesystem::exists("/dev/full")) {
        OutputFile full = OutputFile::Open("/dev/full");
        ASSERT_TRUE(full.IsOpen());
        EXPECT_FALSE(full.WriteAll("x"));
        EXPECT_EQ(errno, ENOSPC);
        EXPECT_FALSE(SystemErrorText(ENOSPC).empty());
    }
    ch10fix::TempDir dir;
    OutputFile f = OutputFile::Open(dir.File("seam"));
    OutputFile::FailNthWriteForTests(2);
    EXPECT_TRUE(f.WriteAll("1"));
    EXPECT_FALSE(f.WriteAll("2"));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_TRUE(f.WriteAll("3"));
    OutputFile::FailNthWriteForTests(0);
    f.Close();
    EXPECT_EQ(ReadText(dir.File("seam")), "13");
}

TEST(OutputFile, CloseReportsItsFailure) {
    OutputFile none;
    EXPECT_TRUE(none.Close()) << "nothing open is no failure";
    ch10fix::TempDir dir;
    OutputFile kept = OutputFile::Open(dir.File("kept"));
    OutputFile failing = OutputFile::Open(dir.File("failing"));
    ASSERT_TRUE(kept.IsOpen() && failing.IsOpen());
    OutputFile::FailNthCloseForTests(2);
    EXPECT_TRUE(kept.Close());
    EXPECT_FALSE(failing.Close());
    EXPECT_EQ(errno, EIO);
    EXPECT_FALSE(failing.IsOpen()) << "closed either way";
    EXPECT_TRUE(failing.Close());
    OutputFile::FailNthCloseForTests(0);
}

TEST(DateText, EnglishNamesWhateverTheLocale) {
    std::tm t{};
    t.tm_year = 2025 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 3;
    t.tm_hour = 8;
    t.tm_min = 1;
    t.tm_sec = 2;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    const std::string expected = "Wednesday, December 03, 2025 08:01:02";
    EXPECT_EQ(FormatLocalTime("%A, %B %d, %Y %H:%M:%S", when), expected);
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
        if (std::setlocale(LC_ALL, name)) {
            switched = true;
            break;
        }
    if (switched) {
        EXPECT_EQ(FormatLocalTime("%A, %B %d, %Y %H:%M:%S", when), expected);
    }
    std::setlocale(LC_ALL, previous.c_str());
    if (!switched) GTEST_SKIP() << "no other locale installed; the C locale result was checked";
}

}  // namespace
}  // namespace platform

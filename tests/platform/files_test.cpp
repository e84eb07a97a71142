#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/files.h"
#include "tests/support/temp_dir.h"

namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* v = std::getenv(name)) saved_ = v, had_ = true;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (had_) setenv(name_, saved_.c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::string saved_;
    bool had_ = false;
};

TEST(Files, LogDirectoryMapping) {
    ch10fix::TempDir dir;
    struct Case {
        const char* logDir;
        const char* stateHome;
        const char* home;
        std::string expected;
    } cases[] = {
        {"LOG", nullptr, nullptr, dir.File("LOG")},
        {nullptr, "STATE", nullptr, dir.File("STATE") + "/orvane"},
        {nullptr, nullptr, "HOME", dir.File("HOME") + "/.local/state/orvane"},
    };
    for (const auto& c : cases) {
        std::string l = c.logDir ? dir.File(c.logDir) : "";
        std::string s = c.stateHome ? dir.File(c.stateHome) : "";
        std::string h = c.home ? dir.File(c.home) : "";
        ScopedEnv e1("TESSIN_LOG_DIR", c.logDir ? l.c_str() : nullptr);
        ScopedEnv e2("XDG_STATE_HOME", c.stateHome ? s.c_str() : nullptr);
        ScopedEnv e3("HOME", c.home ? h.c_str() : nullptr);
        EXPECT_EQ(platform::LogDirectory(), c.expected);
        EXPECT_TRUE(std::filesystem::is_directory(c.expected));
        EXPECT_EQ(platform::MapFixedLogPath("C:/talmorlog/TMATSUtils.log"), c.expected + "/TMATSUtils.log");
        EXPECT_EQ(platform::MapFixedLogPath("C:\\temp\\tessin.log"), c.expected + "/tessin.log");
    }
}

TEST(Files, UniqueNames) {
    ch10fix::TempDir dir;
    std::string prefix = dir.File("pre");
    std::string a = platform::MakeUniqueName(prefix);
    std::string b = platform::MakeUniqueName(prefix);
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ(a.rfind(prefix + "fn", 0), 0u);  // glued to the prefix
    EXPECT_EQ(a.size(), prefix.size() + 8);
    EXPECT_TRUE(std::filesystem::exists(a));
    std::string t = platform::MakeUniqueName("");
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(std::filesystem::path(t).parent_path(), std::filesystem::temp_directory_path());
    platform::RemoveFile(t);
    platform::RemoveFile(t);  // a missing file is no error
    EXPECT_FALSE(std::filesystem::exists(t));
    EXPECT_TRUE(platform::MakeUniqueName("/nonexistent-dir/x").empty());
}

}  // namespace

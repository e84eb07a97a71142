// The registry stand-in: opens, values, the file format, concurrent writers
// and damaged hives.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::Hive;
using platform::HiveAccess;
using platform::kRegSz;
using platform::Registry;
using platform::RegistryConfig;
using platform::RegistryKey;
using platform::RegStatus;
using platform::RegValueData;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

ino_t Inode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

RegistryConfig Files(const ch10fix::TempDir& dir, HiveAccess machine = HiveAccess::Always) {
    RegistryConfig config;
    config.user.file = dir.File("user.reg");
    config.machine.file = dir.File("machine.reg");
    config.machine.access = machine;
    return config;
}

std::string Text(const char* s) { return std::string(s) + '\0'; }

// The value's data through a fresh registry, as another program would see it.
std::string ReadBack(const RegistryConfig& config, Hive hive, const std::string& path, const std::string& name,
                     uint32_t* type = nullptr) {
    Registry registry(config);
    RegistryKey key;
    if (registry.Open(hive, path, key) != RegStatus::Ok) return "<no key>";
    RegValueData value;
    if (key.Query(name, 1 << 20, value) != RegStatus::Ok) return "<no value>";
    if (type) *type = value.type;
    return value.data;
}

TEST(Registry, OpenAndCreateInWritableAndReadOnlyHives) {
    struct Case {
        const char* what;
        HiveAccess access;
        bool present;
        bool create;
        RegStatus status;
        bool fileChanges;
    };
    const Case cases[] = {
        {"open present, writable", HiveAccess::Always, true, false, RegStatus::Ok, false},
        {"open absent, writable", HiveAccess::Always, false, false, RegStatus::NotFound, false},
        {"create present, writable", HiveAccess::Always, true, true, RegStatus::Ok, false},
        {"create absent, writable", HiveAccess::Always, false, true, RegStatus::Ok, true},
        {"open present, read-only", HiveAccess::Never, true, false, RegStatus::Ok, false},
        {"open absent, read-only", HiveAccess::Never, false, false, RegStatus::NotFound, false},
        {"create present, read-only", HiveAccess::Never, true, true, RegStatus::Ok, false},
        {"create absent, read-only", HiveAccess::Never, false, true, RegStatus::AccessDenied, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ch10fix::TempDir dir;
        const std::string before = "[SOFTWARE\\Other]\n\"v\"=\"1\"\n" +
                                   std::string(c.present ? "\n[SOFTWARE\\Orvane\\Talmor]\n\"VERSION\"=\"4.0\"\n" : "");
        Spit(dir.File("machine.reg"), before);
        Registry registry(Files(dir, c.access));
        RegistryKey key;
        const std::string path = "Software\\ORVANE\\Talmor";
        RegStatus status = c.create ? registry.Create(Hive::LocalMachine, path, key)
                                    : registry.Open(Hive::LocalMachine, path, key);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(key.IsOpen(), c.status == RegStatus::Ok);
        EXPECT_EQ(Slurp(dir.File("machine.reg")) != before, c.fileChanges);
        if (c.present && key.IsOpen()) {
            RegValueData v;
            ASSERT_EQ(key.Query("version", 260, v), RegStatus::Ok);
            EXPECT_EQ(v.data, Text("4.0"));
        }
        if (c.access == HiveAccess::Never) {
            EXPECT_FALSE(fs::exists(dir.File("machine.reg.lock")));
        }
    }
}

TEST(Registry, RefusedWriteLeavesTheFileAlone) {
    ch10fix::TempDir dir;
    const std::string before = "[SOFTWARE\\Classes\\X]\n\"LocalServer\"=\"/bin/true\"\n";
    Spit(dir.File("machine.reg"), before);
    const ino_t inode = Inode(dir.File("machine.reg"));
    Registry registry(Files(dir, HiveAccess::Never));
    RegistryKey key;
    ASSERT_EQ(registry.Create(Hive::LocalMachine, "SOFTWARE\\Classes\\X", key), RegStatus::Ok);
    EXPECT_EQ(key.Set("LocalServer", kRegSz, Text("/bin/false")), RegStatus::AccessDenied);
    EXPECT_EQ(key.Set("Other", kRegSz, Text("x")), RegStatus::AccessDenied);
    EXPECT_EQ(Slurp(dir.File("machine.reg")), before);
    EXPECT_EQ(Inode(dir.File("machine.reg")), inode);
    EXPECT_FALSE(fs::exists(dir.File("machine.reg.lock")));
}

// The machine hive under directories that the first write makes.
RegistryConfig ByAccessHive(const ch10fix::TempDir& dir) {
    RegistryConfig config = Files(dir, HiveAccess::ByAccess);
    config.machine.file = dir.File("etc/orvane/machine.reg");
    return config;
}

TEST(Registry, WritableByAccessMakesMissingDirectories) {
    ch10fix::TempDir dir;
    const RegistryConfig config = ByAccessHive(dir);
    {
        Registry registry(config);
        RegistryKey key;
        ASSERT_EQ(registry.Create(Hive::LocalMachine, "SOFTWARE\\Orvane", key), RegStatus::Ok);
        EXPECT_EQ(key.Set("VERSION", kRegSz, Text("4.0")), RegStatus::Ok);
    }
    EXPECT_EQ(ReadBack(config, Hive::LocalMachine, "SOFTWARE\\Orvane", "VERSION"), Text("4.0"));
}

TEST(Registry, ReadOnlyDirectoryIsNotWritableByAccess) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write a read-only directory";
    ch10fix::TempDir dir;
    const RegistryConfig config = ByAccessHive(dir);
    fs::create_directories(dir.File("etc/orvane"));
    Spit(config.machine.file, "[SOFTWARE\\Orvane]\n");
    fs::permissions(dir.File("etc/orvane"), fs::perms::owner_read | fs::perms::owner_exec);
    const std::string before = Slurp(config.machine.file);
    Registry registry(config);
    RegistryKey key;
    EXPECT_EQ(registry.Create(Hive::LocalMachine, "SOFTWARE\\New", key), RegStatus::AccessDenied);
    ASSERT_EQ(registry.Open(Hive::LocalMachine, "SOFTWARE\\Orvane", key), RegStatus::Ok);
    EXPECT_EQ(key.Set("VERSION", kRegSz, Text("5.0")), RegStatus::AccessDenied);
    EXPECT_EQ(Slurp(config.machine.file), before);
    fs::permissions(dir.File("etc/orvane"), fs::perms::owner_all);
}

TEST(Registry, CreatingAKeyCreatesItsParents) {
    ch10fix::TempDir dir;
    Registry registry(Files(dir));
    RegistryKey key;
    ASSERT_EQ(registry.Create(Hive::CurrentUser, "SOFTWARE\\Orvane\\Kelvane", key), RegStatus::Ok);
    EXPECT_EQ(Slurp(dir.File("user.reg")), "[SOFTWARE]\n\n[SOFTWARE\\Orvane]\n\n[SOFTWARE\\Orvane\\Kelvane]\n");
    for (const char* parent : {"SOFTWARE", "software\\orvane", ""}) {
        SCOPED_TRACE(parent);
        RegistryKey p;
        EXPECT_EQ(registry.Open(Hive::CurrentUser, parent, p), RegStatus::Ok);
    }
    EXPECT_FALSE(fs::exists(dir.File("machine.reg")));
}

TEST(Registry, ValuesRoundTripThroughTheFileAndMemory) {
    struct Case {
        const char* what;
        uint32_t type;
        std::string data;
        std::string line;  // how the file shows it
    };
    const Case cases[] = {
        {"empty text", kRegSz, std::string(1, '\0'), "\"v\"=\"\""},
        {"no bytes", kRegSz, "", "\"v\"=hex:"},
        {"no NUL", kRegSz, "AB", "\"v\"=hex:41,42"},
        {"inner NUL", kRegSz, std::string("A\0B\0", 4), "\"v\"=hex:41,00,42,00"},
        {"backslashes", kRegSz, Text("C:\\data\\"), "\"v\"=\"C:\\\\data\\\\\""},
        {"quotes", kRegSz, Text("say \"hi\""), "\"v\"=\"say \\\"hi\\\"\""},
        {"line ends and tabs", kRegSz, Text("a\nb\r\tc"), "\"v\"=\"a\\nb\\r\\tc\""},
        {"control byte", kRegSz, Text("\x01z\x7f"), "\"v\"=\"\\x01z\\x7f\""},
        {"UTF-8", kRegSz, Text("Gr\xc3\xbc\xc3\x9f" "e"), "\"v\"=\"Gr\xc3\xbc\xc3\x9f" "e\""},
        {"binary type", platform::kRegBinary, std::string("\x00\xff", 2), "\"v\"=hex(3):00,ff"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ch10fix::TempDir dir;
        const RegistryConfig config = Files(dir);
        const std::string path = "SOFTWARE\\Odd]Name\\[x]";
        {
            Registry registry(config);
            RegistryKey key;
            ASSERT_EQ(registry.Create(Hive::CurrentUser, path, key), RegStatus::Ok);
            ASSERT_EQ(key.Set("v", c.type, c.data), RegStatus::Ok);
        }
        uint32_t type = 0;
        EXPECT_EQ(ReadBack(config, Hive::CurrentUser, path, "v", &type), c.data);
        EXPECT_EQ(type, c.type);
        EXPECT_NE(Slurp(dir.File("user.reg")).find("\n[" + path + "]\n" + c.line + "\n"), std::string::npos)
            << Slurp(dir.File("user.reg"));

        // The same through an in-memory hive, which leaves no file.
        ch10fix::TempDir empty;
        RegistryConfig memory = RegistryConfig::InMemory();
        Registry registry(memory);
        RegistryKey key;
        ASSERT_EQ(registry.Create(Hive::LocalMachine, path, key), RegStatus::Ok);
        ASSERT_EQ(key.Set("v", c.type, c.data), RegStatus::Ok);
        RegistryKey again;
        ASSERT_EQ(registry.Open(Hive::LocalMachine, path, again), RegStatus::Ok);
        RegValueData v;
        ASSERT_EQ(again.Query("V", 1 << 20, v), RegStatus::Ok);
        EXPECT_EQ(v.data, c.data);
        EXPECT_EQ(v.type, c.type);
    }
}

TEST(Registry, QueryHonoursTheCallersBufferSize) {
    ch10fix::TempDir dir;
    Registry registry(Files(dir));
    RegistryKey key;
    ASSERT_EQ(registry.Create(Hive::CurrentUser, "K", key), RegStatus::Ok);
    const std::string data = std::string(299, 'p') + '\0';
    ASSERT_EQ(key.Set("long", kRegSz, data), RegStatus::Ok);
    RegValueData v;
    std::size_t needed = 0;
    EXPECT_EQ(key.Query("long", 260, v, &needed), RegStatus::TooLong);
    EXPECT_EQ(needed, 300u);
    EXPECT_TRUE(v.data.empty());
    EXPECT_EQ(key.Query("long", 300, v), RegStatus::Ok);
    EXPECT_EQ(v.data, data);
    EXPECT_EQ(key.Query("absent", 300, v), RegStatus::NotFound);
}

TEST(Registry, PathsAndNamesMatchWithoutCaseAndKeepTheFirstCase) {
    ch10fix::TempDir dir;
    const RegistryConfig config = Files(dir);
    Registry registry(config);
    RegistryKey key;
    ASSERT_EQ(registry.Create(Hive::CurrentUser, "Software\\Orvane\\Kelvane\\", key), RegStatus::Ok);
    ASSERT_EQ(key.Set("MaxLog", kRegSz, Text("7")), RegStatus::Ok);
    RegistryKey other;
    ASSERT_EQ(registry.Create(Hive::CurrentUser, "SOFTWARE\\ORVANE\\KELVANE\\Sub", other), RegStatus::Ok);
    ASSERT_EQ(other.Set("x", kRegSz, Text("1")), RegStatus::Ok);
    ASSERT_EQ(registry.Open(Hive::CurrentUser, "software\\orvane\\kelvane", key), RegStatus::Ok);
    ASSERT_EQ(key.Set("MAXLOG", kRegSz, Text("8")), RegStatus::Ok);
    EXPECT_EQ(Slurp(dir.File("user.reg")),
              "[Software]\n\n[Software\\Orvane]\n\n[Software\\Orvane\\Kelvane]\n\"MaxLog\"=\"8\"\n\n"
              "[Software\\Orvane\\Kelvane\\Sub]\n\"x\"=\"1\"\n");

    struct Case {
        const char* path;
        RegStatus status;
    } opens[] = {
        {"", RegStatus::Ok},           {"\\", RegStatus::Ok},
        {"software\\", RegStatus::Ok}, {"Software\\\\Orvane", RegStatus::BadName},
        {"\\Software", RegStatus::BadName}, {"Soft\nware", RegStatus::BadName},
        {"Software\\Orv", RegStatus::NotFound},
    };
    for (const auto& c : opens) {
        SCOPED_TRACE(c.path);
        RegistryKey k;
        EXPECT_EQ(registry.Open(Hive::CurrentUser, c.path, k), c.status);
        EXPECT_EQ(registry.Create(Hive::CurrentUser, c.path, k) == RegStatus::BadName, c.status == RegStatus::BadName);
    }
}

TEST(Registry, RegistriesSeeEachOthersWritesAndAHandleKeepsWhatItRead) {
    ch10fix::TempDir dir;
    const RegistryConfig config = Files(dir);
    Registry a(config), b(config);
    RegistryKey ka, kb;
    ASSERT_EQ(a.Create(Hive::CurrentUser, "K", ka), RegStatus::Ok);
    ASSERT_EQ(b.Open(Hive::CurrentUser, "K", kb), RegStatus::Ok);
    ASSERT_EQ(ka.Set("one", kRegSz, Text("1")), RegStatus::Ok);
    RegValueData v;
    EXPECT_EQ(kb.Query("one", 260, v), RegStatus::NotFound);  // opened before the write
    ASSERT_EQ(kb.Set("two", kRegSz, Text("2")), RegStatus::Ok);   // re-reads: "one" survives
    EXPECT_EQ(kb.Query("one", 260, v), RegStatus::Ok);
    EXPECT_EQ(ReadBack(config, Hive::CurrentUser, "K", "one"), Text("1"));
    EXPECT_EQ(ReadBack(config, Hive::CurrentUser, "K", "two"), Text("2"));
}

TEST(Registry, TwoProcessesWritingAtOnceLoseNothing) {
    ch10fix::TempDir dir;
    const RegistryConfig config = Files(dir);
    constexpr int kValues = 200;
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        children[p] = ::fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            Registry registry(config);
            RegistryKey key;
            int failures = registry.Create(Hive::CurrentUser, "K", key) == RegStatus::Ok ? 0 : 1;
            for (int i = 0; i < kValues; ++i)
                if (key.Set("p" + std::to_string(p) + "_" + std::to_string(i), kRegSz, Text("v")) != RegStatus::Ok)
                    ++failures;
            ::_exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    Registry registry(config);
    RegistryKey key;
    ASSERT_EQ(registry.Open(Hive::CurrentUser, "K", key), RegStatus::Ok);
    int found = 0;
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < kValues; ++i) {
            RegValueData v;
            if (key.Query("p" + std::to_string(p) + "_" + std::to_string(i), 260, v) == RegStatus::Ok) ++found;
        }
    EXPECT_EQ(found, 2 * kValues);
}

TEST(Registry, DamagedHiveReadsEmptyAndTheNextWriteKeepsIt) {
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"value before any key", "\"v\"=\"1\"\n[K]\n"},
        {"unclosed quote", "[K]\n\"v\"=\"1\n"},
        {"unknown escape", "[K]\n\"v\"=\"\\q\"\n"},
        {"bad hex", "[K]\n\"v\"=hex:4g\n"},
        {"stray line", "[K]\nhello\n"},
        {"oversized", "[K]\n\"v\"=\"" + std::string(platform::kHiveSizeLimit, 'a') + "\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ch10fix::TempDir dir;
        const RegistryConfig config = Files(dir);
        Spit(dir.File("user.reg"), c.text);
        Registry registry(config);
        RegistryKey key;
        EXPECT_EQ(registry.Open(Hive::CurrentUser, "K", key), RegStatus::NotFound);
        ASSERT_EQ(registry.Create(Hive::CurrentUser, "K", key), RegStatus::Ok);
        EXPECT_EQ(Slurp(dir.File("user.reg.bad")), c.text);
        EXPECT_EQ(Slurp(dir.File("user.reg")), "[K]\n");
    }
}

TEST(Registry, WriteThatWouldOverflowTheHiveFailsAndTouchesNothing) {
    ch10fix::TempDir dir;
    Registry registry(Files(dir));
    RegistryKey key;
    ASSERT_EQ(registry.Create(Hive::CurrentUser, "K", key), RegStatus::Ok);
    ASSERT_EQ(key.Set("a", kRegSz, Text("1")), RegStatus::Ok);
    const std::string before = Slurp(dir.File("user.reg"));
    EXPECT_EQ(key.Set("big", kRegSz, std::string(platform::kHiveSizeLimit, 'x')), RegStatus::TooLarge);
    EXPECT_EQ(Slurp(dir.File("user.reg")), before);
    RegValueData v;
    EXPECT_EQ(key.Query("big", 1 << 30, v), RegStatus::NotFound);
}

}  // namespace

// Start-up without a window: the error-list probe and title, the permission
// query, the command line and the machine-wide values.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/ui/registry_fixture.h"
#include "tests/support/temp_dir.h"
#include "vexa/ui/permission.h"
#include "vexa/ui/startup.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::Hive;
using platform::HiveAccess;
using platform::Registry;
using uitest::TempRegistry;
using vexa::PermissionAnswer;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the test body in `dir` as the working directory.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& dir) : previous_(fs::current_path()) { fs::current_path(dir); }
    ~WorkingDirectory() { fs::current_path(previous_); }

private:
    fs::path previous_;
};

void WriteScript(const std::string& path, const std::string& body, mode_t mode = 0755) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ::chmod(path.c_str(), mode);
}

TEST(Startup, TitleFollowsTheErrorListAsProbed) {
    enum class Entry { None, File, Directory, NamedPipe };
    struct Case {
        const char* what;
        Entry entry;
        std::string title;
    };
    const Case cases[] = {
        {"absent", Entry::None, "Kelvane"},
        {"present", Entry::File, "Kelvane - Ver 3.9"},
        {"a directory of that name", Entry::Directory, "Kelvane"},
        {"a named pipe, probed without waiting for a writer", Entry::NamedPipe, "Kelvane - Ver 3.9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ch10fix::TempDir dir;
        const std::string list = dir.File("VexaV_ErrorList.txt");
        if (c.entry == Entry::File) std::ofstream(list) << "errors\n";
        if (c.entry == Entry::Directory) fs::create_directory(list);
        if (c.entry == Entry::NamedPipe) {
            ASSERT_EQ(::mkfifo(list.c_str(), 0644), 0);
        }
        WorkingDirectory cwd(dir.Path());
        vexa::StartupState state = vexa::ProbeErrorList();
        EXPECT_EQ(vexa::WindowTitle(state), c.title);
        EXPECT_EQ(state.builtInVersion, "3.9");
    }
}

TEST(Startup, TitleStaysAsProbedAndNeverTakesTheRegistryVersion) {
    ch10fix::TempDir dir;
    WorkingDirectory cwd(dir.Path());
    vexa::StartupState state = vexa::ProbeErrorList();
    std::ofstream("VexaV_ErrorList.txt") << "errors\n";
    EXPECT_EQ(vexa::WindowTitle(state), "Kelvane");  // created after the probe

    state = vexa::ProbeErrorList();
    state.versionText = "4.0";
    EXPECT_EQ(vexa::WindowTitle(state), "Kelvane - Ver 3.9");
}

TEST(Startup, PermissionObjectAnswers) {
    enum class Object { NotRegistered, NoValue, NoExecutable, NotExecutable, Script };
    struct Case {
        const char* what;
        Object object;
        std::string script;
        PermissionAnswer::Kind kind;
        std::string reason;  // text the reason of a failed call holds
    };
    using K = PermissionAnswer::Kind;
    const Case cases[] = {
        {"no object", Object::NotRegistered, "", K::Admitted, ""},
        {"no LocalServer value", Object::NoValue, "", K::Admitted, ""},
        {"no executable", Object::NoExecutable, "", K::Admitted, ""},
        {"not executable", Object::NotExecutable, "echo 0", K::Admitted, ""},
        {"prints 0", Object::Script, "echo 0", K::Refused, ""},
        {"prints 65536 (0 as a 16-bit answer)", Object::Script, "echo 65536", K::Refused, ""},
        {"prints 5", Object::Script, "echo 5", K::Admitted, ""},
        {"prints a blank and 7", Object::Script, "echo ' 7'", K::Admitted, ""},
        {"prints 65537", Object::Script, "echo 65537", K::Admitted, ""},
        {"prints -1", Object::Script, "echo -1", K::Admitted, ""},
        {"reads only the first line", Object::Script, "echo 0; echo 5", K::Refused, ""},
        {"exits 3", Object::Script, "echo 5; exit 3", K::Failed, "exited with status 3"},
        {"prints yes", Object::Script, "echo yes", K::Failed, "printed no number"},
        {"prints nothing", Object::Script, ":", K::Failed, "printed no number"},
        {"sleeps past the time-out", Object::Script, "exec sleep 30", K::Failed, "gave no answer within 300 ms"},
        {"kills itself", Object::Script, "kill -9 $$", K::Failed, "ended by signal 9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempRegistry reg;
        const std::string server = reg.Dir() + "/select_db";
        const std::string key = "SOFTWARE\\Classes\\Talmor_SelectDB.SelectDBClass";
        if (c.object == Object::NoValue) reg.SetText(Hive::LocalMachine, key, "Other", server);
        if (c.object >= Object::NoExecutable) reg.SetText(Hive::LocalMachine, key, "LocalServer", server);
        if (c.object == Object::NotExecutable) WriteScript(server, c.script, 0644);
        if (c.object == Object::Script) WriteScript(server, c.script);
        const std::string before = Slurp(reg.MachineFile());

        Registry registry(reg.Config(HiveAccess::Never));
        PermissionAnswer answer = vexa::AskPermission(registry, 300ms);
        EXPECT_EQ(answer.kind, c.kind);
        if (c.kind == K::Failed) {
            EXPECT_NE(answer.reason.find("Talmor_SelectDB.SelectDBClass CheckUserPermission failed: "),
                      std::string::npos);
            EXPECT_NE(answer.reason.find(c.reason), std::string::npos) << answer.reason;
        }
        EXPECT_EQ(Slurp(reg.MachineFile()), before);
    }
}

TEST(Startup, PermissionObjectGetsTheMethodAndProductAndNoDescriptors) {
    TempRegistry reg;
    const std::string server = reg.Dir() + "/select_db";
    fs::create_symlink(FD_REPORT, server);  // prints 5
    reg.SetText(Hive::LocalMachine, "SOFTWARE\\Classes\\Talmor_SelectDB.SelectDBClass", "LocalServer", server);
    const int leaky = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaky, 3);
    Registry registry(reg.Config());
    PermissionAnswer answer = vexa::AskPermission(registry);
    ::close(leaky);
    EXPECT_EQ(answer.kind, PermissionAnswer::Kind::Admitted);
    EXPECT_EQ(Slurp(server + ".args"), std::string("CheckUserPermission\0Kelvane\0", 28));
    EXPECT_EQ(Slurp(server + ".fds"), "0 1 2\n");
}

TEST(Startup, InitialSourceIsTheFirstArgumentThatIsNoOption) {
    struct Case {
        std::vector<std::string> args;
        std::string source;
    };
    const Case cases[] = {
        {{"rec.ch10"}, "rec.ch10"},
        {{"a", "b"}, "a"},
        {{"--bogus", "rec.ch10"}, "rec.ch10"},
        {{"-x"}, ""},
        {{"--", "-x.ch10"}, "-x.ch10"},
        {{"--", "--", "b"}, "--"},
        {{"/data/r.ch10"}, "/data/r.ch10"},
        {{"-", "my file.ch10"}, "my file.ch10"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += "[" + a + "]";
        SCOPED_TRACE(joined);
        EXPECT_EQ(vexa::InitialSourceFromArgs(c.args), c.source);
    }
}

TEST(Startup, MachineValues) {
    struct Case {
        const char* what;
        HiveAccess access;
        bool keys;
        std::string applicationDir;  // with `keys`: the values stored
        std::string version;
        std::string docsDir;
        std::string versionText;
    };
    const std::string huge(5000, 'v');
    const Case cases[] = {
        {"read-only, keys missing", HiveAccess::Never, false, "", "", "", ""},
        {"writable, keys missing", HiveAccess::Always, false, "", "", "../Docs/", "3.9"},
        {"values set", HiveAccess::Never, true, "/opt/t", "4.0", "/opt/t/Docs/", "4.0"},
        {"directory with its separator", HiveAccess::Never, true, "/opt/t/", "4.0", "/opt/t/Docs/", "4.0"},
        {"both empty", HiveAccess::Never, true, "", "", "../Docs/", "3.9"},
        {"both 5,000 bytes", HiveAccess::Never, true, huge, huge, "../Docs/", "3.9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempRegistry reg;
        if (c.keys) {
            reg.SetText(Hive::LocalMachine, "SOFTWARE\\Orvane\\Talmor\\Common", "APPLICATIONDIR", c.applicationDir);
            reg.SetText(Hive::LocalMachine, "SOFTWARE\\Orvane\\Talmor", "VERSION", c.version);
        }
        const bool existed = fs::exists(reg.MachineFile());
        const std::string before = Slurp(reg.MachineFile());
        Registry registry(reg.Config(c.access));
        vexa::StartupState state;
        vexa::ReadMachineValues(registry, state);
        EXPECT_EQ(state.docsDir, c.docsDir);
        EXPECT_EQ(state.versionText, c.versionText);
        if (c.access == HiveAccess::Never) {
            EXPECT_EQ(fs::exists(reg.MachineFile()), existed);
            EXPECT_EQ(Slurp(reg.MachineFile()), before);
        } else {
            platform::RegistryKey key;
            EXPECT_EQ(registry.Open(Hive::LocalMachine, "SOFTWARE\\Orvane\\Talmor\\Common", key),
                      platform::RegStatus::Ok);
            EXPECT_NE(Slurp(reg.MachineFile()).find("[SOFTWARE\\Orvane\\Talmor]\n"), std::string::npos);
        }
    }
}

}  // namespace

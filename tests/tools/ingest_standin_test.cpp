#include "tools/ingest_standin.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using namespace standin;
using Bytes = std::vector<uint8_t>;

constexpr std::size_t kImageBytes = 200000;
const char kDrive0[] = "//./PHYSICALDRIVE0";

// Image bytes: each byte a function of its position.
uint8_t ImageByte(std::size_t i) {
    return static_cast<uint8_t>((i * 7 + (i >> 9) * 13 + 1) & 0xFF);
}

Bytes ImageBytes(std::size_t from, std::size_t count) {
    Bytes b(count);
    for (std::size_t i = 0; i < count; ++i) b[i] = ImageByte(from + i);
    return b;
}

Bytes Data(const Bytes& reply, std::size_t count) {
    return Bytes(reply.begin() + rep::kData, reply.begin() + static_cast<std::ptrdiff_t>(rep::kData + count));
}

int32_t Status(const Bytes& reply) {
    return GetLe32(reply, rep::kStatus);
}

// A stand-in serving one image file as drive 0 and as "//./E:" (block
// size 2048), with a client connected to it.
class IngestStandin : public ::testing::Test {
protected:
    void SetUp() override {
        image_ = dir_.File("img.bin");
        const Bytes bytes = ImageBytes(0, kImageBytes);
        std::ofstream(image_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
    }

    Server& Make(Options options = {}) {
        options.devices.push_back({kDrive0, image_});
        options.devices.push_back({"//./E:", image_, 2048});
        server_ = std::make_unique<Server>(std::move(options));
        std::string error;
        EXPECT_TRUE(server_->Start(&error)) << error;
        EXPECT_TRUE(client_.Connect(server_->Port()));
        return *server_;
    }

    Bytes Ask(const Bytes& request, RawClient* client = nullptr) {
        Bytes reply;
        EXPECT_TRUE((client ? *client : client_).Exchange(request, reply));
        return reply;
    }
    int32_t Open(const std::string& path, int32_t* status = nullptr) {
        const Bytes reply = Ask(OpenRequest(path));
        if (status) *status = Status(reply);
        return Status(reply) == 0 ? GetLe32(reply, rep::kHandle) : -1;
    }
    Bytes Read(int32_t handle, int32_t count) { return Ask(HandleRequest(kRead, handle, count)); }
    int32_t Seek(int32_t handle, int64_t offset) { return Status(Ask(HandleRequest(kSeek, handle, 0, offset))); }

    ch10fix::TempDir dir_;
    std::string image_;
    std::unique_ptr<Server> server_;
    RawClient client_;
};

TEST_F(IngestStandin, ServesDevicesByName) {
    Server& server = Make();
    const int32_t h = Open(kDrive0);
    ASSERT_EQ(h, 0);  // handles start at 0 by default

    Bytes r = Ask(HandleRequest(kBlockSize, h));
    EXPECT_EQ(Status(r), 0);
    EXPECT_EQ(GetLe32(r, rep::kBlockSize), 512);  // an image file's default

    struct Step {
        int64_t seek;  // -1: no seek before the read
        int32_t count;
        int32_t got;
        std::size_t from;  // image position of the bytes returned
    };
    const Step steps[] = {
        {-1, 1000, 1000, 0},
        {-1, 70000, kMaxData, 1000},                    // one reply's room
        {0x8000'0000, 10, 0, 0},                        // past the end: nothing, status 0
        {kImageBytes - 10, 100, 10, kImageBytes - 10},  // only the bytes left
        {-1, 100, 0, 0},
        {0x1'0000'0200, 512, 0, 0},
        {0, 0, 0, 0},
        {-1, 512, 512, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.seek);
        if (s.seek >= 0) {
            ASSERT_EQ(Seek(h, s.seek), 0);
        }
        r = Read(h, s.count);
        ASSERT_EQ(Status(r), 0);
        ASSERT_EQ(GetLe32(r, rep::kCount), s.got);
        EXPECT_EQ(Data(r, static_cast<std::size_t>(s.got)), ImageBytes(s.from, static_cast<std::size_t>(s.got)));
    }

    // A second handle has its own position.
    const int32_t e = Open("//./E:");
    ASSERT_EQ(e, 1);
    EXPECT_EQ(GetLe32(Ask(HandleRequest(kBlockSize, e)), rep::kBlockSize), 2048);
    EXPECT_EQ(Data(Read(e, 4), 4), ImageBytes(0, 4));
    EXPECT_EQ(Data(Read(h, 4), 4), ImageBytes(512, 4));
    EXPECT_EQ(server.OpenHandles(), 2);

    // Unknown names and handles get status 1.
    int32_t status = 0;
    EXPECT_EQ(Open("//./PHYSICALDRIVE1", &status), -1);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(Open("//./physicaldrive0", &status), -1);  // names are exact
    for (int32_t command : {kClose, kRead, kBlockSize, kSeek})
        EXPECT_EQ(Status(Ask(HandleRequest(command, 77, 10))), 1) << command;
    EXPECT_EQ(Status(Read(h, -1)), 1);
    EXPECT_EQ(Seek(h, -5), 1);

    EXPECT_EQ(Status(Ask(HandleRequest(kClose, h))), 0);
    EXPECT_EQ(Status(Read(h, 10)), 1);
    EXPECT_EQ(server.OpenHandles(), 1);

    // The log holds every request as it arrived, and a client that fills
    // its blocks as specified breaks no rule.
    const auto log = server.Requests();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0].command, kOpen);
    EXPECT_EQ(log[0].path, kDrive0);
    EXPECT_EQ(log[0].reply_handle, 0);
    EXPECT_EQ(log[2].count, 1000);
    std::vector<int64_t> seeks;
    for (const auto& q : log) {
        EXPECT_TRUE(q.answered);
        EXPECT_EQ(q.connection, 1);
        EXPECT_EQ(q.origin, 0);
        if (q.command == kSeek && q.status == 0) seeks.push_back(q.offset);
    }
    EXPECT_EQ(seeks, (std::vector<int64_t>{0x8000'0000, kImageBytes - 10, 0x1'0000'0200, 0}));
    EXPECT_TRUE(server.Violations().empty());
}

TEST_F(IngestStandin, HandlesCountFromTheFirstValueSkippingMinusOne) {
    Options options;
    options.first_handle = -2;
    Make(options);
    EXPECT_EQ(Open(kDrive0), -2);
    int32_t status = -1;
    const Bytes reply = Ask(OpenRequest(kDrive0));
    status = Status(reply);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(GetLe32(reply, rep::kHandle), 0);
    EXPECT_EQ(Open(kDrive0), 1);
}

TEST_F(IngestStandin, FlagsViolationsInRawBlocks) {
    Server& server = Make();
    const int32_t h = Open(kDrive0);
    ASSERT_EQ(h, 0);
    struct Case {
        const char* what;
        std::function<Bytes()> block;
        std::optional<ViolationKind> kind;
        int32_t status;
    };
    auto with = [](Bytes b, std::size_t at, uint8_t v) {
        b[at] = v;
        return b;
    };
    const Case cases[] = {
        {"conforming read", [&] { return HandleRequest(kRead, h, 8); }, std::nullopt, 0},
        {"conforming seek", [&] { return HandleRequest(kSeek, h, 0, 0x1'0000'0200); }, std::nullopt, 0},
        {"conforming size", [&] { return HandleRequest(kBlockSize, h); }, std::nullopt, 0},
        {"conforming open", [&] { return OpenRequest(kDrive0); }, std::nullopt, 0},
        {"byte 4 of a read", [&] { return with(HandleRequest(kRead, h, 8), 4, 1); }, ViolationKind::kReservedBytes, 0},
        {"byte 15 of a size", [&] { return with(HandleRequest(kBlockSize, h), 15, 0x80); },
         ViolationKind::kReservedBytes, 0},
        {"count of a size", [&] { return with(HandleRequest(kBlockSize, h), 20, 1); }, ViolationKind::kReservedBytes, 0},
        {"offset of a read", [&] { return with(HandleRequest(kRead, h, 8), 24, 1); }, ViolationKind::kReservedBytes, 0},
        {"origin of a read", [&] { return with(HandleRequest(kRead, h, 8), 32, 1); }, ViolationKind::kReservedBytes, 0},
        {"byte 36 of a seek", [&] { return with(HandleRequest(kSeek, h, 0, 0), 36, 1); },
         ViolationKind::kReservedBytes, 0},
        {"last byte of a seek", [&] { return with(HandleRequest(kSeek, h, 0, 0), kBlockBytes - 1, 1); },
         ViolationKind::kReservedBytes, 0},
        {"byte after an open's NUL", [&] { return with(OpenRequest(kDrive0), 16 + sizeof kDrive0, '9'); },
         ViolationKind::kReservedBytes, 0},
        {"seek origin 1", [&] { return with(HandleRequest(kSeek, h, 0, 0), 32, 1); }, ViolationKind::kOrigin, 1},
        {"seek origin 2", [&] { return with(HandleRequest(kSeek, h, 0, 0), 32, 2); }, ViolationKind::kOrigin, 1},
        {"path without NUL",
         [&] {
             Bytes b = OpenRequest(kDrive0);
             std::fill(b.begin() + 16, b.end(), 'A');
             return b;
         },
         ViolationKind::kPathNoNul, 1},
        {"command 6", [&] { return HandleRequest(6, h); }, ViolationKind::kUnknownCommand, 1},
        {"command 0", [&] { return HandleRequest(0, h); }, ViolationKind::kUnknownCommand, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server.ClearLog();
        EXPECT_EQ(Status(Ask(c.block())), c.status);
        const auto violations = server.Violations();
        if (!c.kind) {
            EXPECT_TRUE(violations.empty());
            continue;
        }
        ASSERT_EQ(violations.size(), 1u);
        EXPECT_EQ(violations[0].kind, *c.kind);
        EXPECT_EQ(violations[0].request, 0u);
        EXPECT_FALSE(violations[0].detail.empty());
    }
    // A reserved byte does not stop the request from being served.
    server.ClearLog();
    const Bytes r = Ask(with(HandleRequest(kRead, h, 8), 40, 1));
    EXPECT_EQ(Status(r), 0);
    EXPECT_EQ(GetLe32(r, rep::kCount), 8);
    ASSERT_EQ(server.Violations().size(), 1u);
    EXPECT_NE(server.Violations()[0].detail.find("byte 40"), std::string::npos);
}

TEST_F(IngestStandin, StatusAndCountKnobs) {
    struct Case {
        const char* what;
        std::function<void(Faults&)> set;
        std::function<void()> check;
    };
    Server& server = Make();
    const Case cases[] = {
        {"the first two opens fail",
         [](Faults& f) {
             f.open_failures = 2;
             f.open_status = 7;
         },
         [&] {
             int32_t s = 0;
             Open(kDrive0, &s);
             EXPECT_EQ(s, 7);
             Open("//./E:", &s);
             EXPECT_EQ(s, 7);
             EXPECT_GE(Open(kDrive0, &s), 0);
         }},
        {"every open fails", [](Faults& f) { f.open_failures = -1; },
         [&] {
             for (int i = 0; i < 3; ++i) {
                 int32_t s = 0;
                 EXPECT_EQ(Open(kDrive0, &s), -1);
                 EXPECT_EQ(s, 1);
             }
         }},
        {"reads fail from the second on, keeping the position",
         [](Faults& f) {
             f.read_fail_from = 2;
             f.read_status = 4;
         },
         [&] {
             const int32_t h = Open(kDrive0);
             EXPECT_EQ(Data(Read(h, 10), 10), ImageBytes(0, 10));
             const Bytes r = Read(h, 10);
             EXPECT_EQ(Status(r), 4);
             EXPECT_EQ(GetLe32(r, rep::kCount), 0);
             EXPECT_EQ(Status(Read(h, 10)), 4);
             server.SetFaults({});
             EXPECT_EQ(Data(Read(h, 10), 10), ImageBytes(10, 10));
         }},
        {"block size fails", [](Faults& f) { f.block_size_status = 3; },
         [&] { EXPECT_EQ(Status(Ask(HandleRequest(kBlockSize, Open(kDrive0)))), 3); }},
        {"block size forced to 0, -1 and 70000", [](Faults&) {},
         [&] {
             const int32_t h = Open(kDrive0);
             for (int32_t forced : {0, -1, 70000}) {
                 Faults f;
                 f.forced_block_size = forced;
                 server.SetFaults(f);
                 const Bytes r = Ask(HandleRequest(kBlockSize, h));
                 EXPECT_EQ(Status(r), 0);
                 EXPECT_EQ(GetLe32(r, rep::kBlockSize), forced);
             }
         }},
        {"close fails and the handle stays", [](Faults& f) { f.close_status = 6; },
         [&] {
             const int32_t h = Open(kDrive0);
             EXPECT_EQ(Status(Ask(HandleRequest(kClose, h))), 6);
             EXPECT_EQ(Status(Read(h, 1)), 0);
         }},
        {"count over-reported by one", [](Faults& f) { f.count_extra = 1; },
         [&] {
             const int32_t h = Open(kDrive0);
             const Bytes r = Read(h, 512);
             EXPECT_EQ(GetLe32(r, rep::kCount), 513);
             EXPECT_EQ(Data(r, 513), ImageBytes(0, 513));  // real bytes behind the claim
             server.SetFaults({});
             EXPECT_EQ(Data(Read(h, 1), 1), ImageBytes(512, 1));  // moved by the true count
         }},
        {"count over-reported past the room", [](Faults& f) { f.count_override = 70000; },
         [&] {
             const Bytes r = Read(Open(kDrive0), 512);
             EXPECT_EQ(GetLe32(r, rep::kCount), 70000);
             EXPECT_EQ(Data(r, kMaxData), ImageBytes(0, kMaxData));
         }},
        {"the second read lies after moving on",
         [](Faults& f) {
             f.lying_read = {2, kRead};
             f.lie_status = 5;
             f.lie_count = -7;
         },
         [&] {
             const int32_t h = Open(kDrive0);
             EXPECT_EQ(Data(Read(h, 10), 10), ImageBytes(0, 10));
             const Bytes r = Read(h, 10);
             EXPECT_EQ(Status(r), 5);
             EXPECT_EQ(GetLe32(r, rep::kCount), -7);
             EXPECT_EQ(Data(Read(h, 10), 10), ImageBytes(20, 10));  // the lie moved the position
         }},
        {"negative count", [](Faults& f) { f.count_override = -5; },
         [&] {
             const Bytes r = Read(Open(kDrive0), 512);
             EXPECT_EQ(Status(r), 0);
             EXPECT_EQ(GetLe32(r, rep::kCount), -5);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Faults f;
        c.set(f);
        server.SetFaults(f);
        c.check();
        server.SetFaults({});
    }
}

TEST_F(IngestStandin, DeviceRefusesItsFirstOpens) {
    Options options;
    options.devices.push_back({"//./PHYSICALDRIVE3", image_, 0, 1});
    options.devices.push_back({"//./PHYSICALDRIVE4", image_, 0, -1});
    options.devices.push_back({"//./PHYSICALDRIVE5", dir_.File("missing.bin")});
    Make(options);
    int32_t s = 0;
    EXPECT_EQ(Open("//./PHYSICALDRIVE3", &s), -1);
    EXPECT_EQ(s, 1);
    EXPECT_GE(Open("//./PHYSICALDRIVE3", &s), 0);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(Open("//./PHYSICALDRIVE4"), -1);
    EXPECT_EQ(Open("//./PHYSICALDRIVE5", &s), -1);  // the file cannot be opened
    EXPECT_NE(s, 0);
}

TEST_F(IngestStandin, RepliesInPiecesAreTheSameBlocks) {
    Server& server = Make();
    const int32_t h = Open(kDrive0);
    ASSERT_EQ(Seek(h, 1000), 0);
    const Bytes whole = Read(h, 4000);
    for (std::size_t piece : {1u, 7u, 65567u}) {
        Faults f;
        f.reply_piece = piece;
        server.SetFaults(f);
        ASSERT_EQ(Seek(h, 1000), 0);
        EXPECT_EQ(Read(h, 4000), whole) << piece;
    }
}

TEST_F(IngestStandin, DelayPerExchange) {
    Server& server = Make();
    const int32_t h = Open(kDrive0);
    Faults f;
    f.delay = 150ms;
    f.delay_command = kRead;
    server.SetFaults(f);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Status(Read(h, 10)), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
}

TEST_F(IngestStandin, DisconnectBeforeARequest) {
    struct Case {
        Trigger trigger;
        int answered;  // requests answered before the close
    };
    for (const Case& c : {Case{{3, 0}, 2}, Case{{2, kRead}, 3}}) {
        SCOPED_TRACE(c.answered);
        Faults f;
        f.disconnect_before = c.trigger;
        Options options;
        options.faults = f;
        Server& server = Make(options);
        const int32_t h = Open(kDrive0);
        ASSERT_EQ(Seek(h, 0), 0);
        Bytes reply;
        bool ok = true;
        int answered = 2;
        while ((ok = client_.Exchange(HandleRequest(kRead, h, 100), reply))) ++answered;
        EXPECT_EQ(answered, c.answered);
        EXPECT_TRUE(reply.empty());
        const auto log = server.Requests();
        ASSERT_EQ(log.size(), static_cast<std::size_t>(c.answered + 1));
        EXPECT_FALSE(log.back().answered);
        // The connection's handles go with it; a new connection is served.
        for (int i = 0; i < 500 && server.OpenHandles() != 0; ++i) std::this_thread::sleep_for(10ms);
        EXPECT_EQ(server.OpenHandles(), 0);
        RawClient other;
        ASSERT_TRUE(other.Connect(server.Port()));
        EXPECT_EQ(Status(Ask(OpenRequest(kDrive0), &other)), 0);
        EXPECT_EQ(server.Connections(), 2);
        client_.Close();
    }
}

TEST_F(IngestStandin, ShortReplyThenClose) {
    Server& server = Make();
    const int32_t h = Open(kDrive0);
    const Bytes full = Read(h, 300);
    ASSERT_EQ(Seek(h, 0), 0);
    Faults f;
    f.short_reply = {1, kRead};
    f.short_reply_bytes = 100;
    server.SetFaults(f);
    Bytes reply;
    EXPECT_FALSE(client_.Exchange(HandleRequest(kRead, h, 300), reply));
    EXPECT_EQ(reply, Bytes(full.begin(), full.begin() + 100));
    EXPECT_FALSE(server.Requests().back().answered);
}

// A held reply blocks only its own connection; Release, the client's
// hang-up and Stop each end it.
TEST_F(IngestStandin, HeldShortReply) {
    Server& server = Make();
    const int32_t h = Open(kDrive0);
    Faults f;
    f.short_reply = {1, kRead};
    f.short_reply_bytes = 30;
    f.after_short = AfterShortReply::kHold;
    server.SetFaults(f);

    Bytes held;
    bool whole = true;
    std::thread reader([&] { whole = client_.Exchange(HandleRequest(kRead, h, 300), held); });
    ASSERT_TRUE(server.WaitForHold(5s));
    RawClient other;
    ASSERT_TRUE(other.Connect(server.Port()));
    const int32_t h2 = GetLe32(Ask(OpenRequest(kDrive0), &other), rep::kHandle);
    EXPECT_EQ(Data(Ask(HandleRequest(kRead, h2, 5), &other), 5), ImageBytes(0, 5));
    server.Release();
    reader.join();
    EXPECT_FALSE(whole);
    EXPECT_EQ(held.size(), 30u);

    // The client hangs up while held: the connection ends and its handle goes.
    server.SetFaults(f);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(server.Port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    const Bytes open = OpenRequest(kDrive0);
    ASSERT_EQ(::send(fd, open.data(), open.size(), MSG_NOSIGNAL), static_cast<ssize_t>(open.size()));
    Bytes reply(kBlockBytes);
    ASSERT_EQ(::recv(fd, reply.data(), reply.size(), MSG_WAITALL), static_cast<ssize_t>(kBlockBytes));
    const Bytes read = HandleRequest(kRead, GetLe32(reply, rep::kHandle), 10);
    ASSERT_EQ(::send(fd, read.data(), read.size(), MSG_NOSIGNAL), static_cast<ssize_t>(read.size()));
    ASSERT_TRUE(server.WaitForHold(5s));
    EXPECT_EQ(server.OpenHandles(), 2);
    ::close(fd);
    for (int i = 0; i < 500 && server.OpenHandles() != 1; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(server.OpenHandles(), 1);  // only the other connection's

    // Stop ends a hold and joins every thread.
    server.SetFaults(f);
    RawClient third;
    ASSERT_TRUE(third.Connect(server.Port()));
    const int32_t h3 = GetLe32(Ask(OpenRequest(kDrive0), &third), rep::kHandle);
    std::thread blocked([&] {
        Bytes r;
        third.Exchange(HandleRequest(kRead, h3, 10), r);
    });
    ASSERT_TRUE(server.WaitForHold(5s));
    server.Stop();
    blocked.join();
    EXPECT_EQ(server.OpenHandles(), 0);
}

TEST_F(IngestStandin, AbsentKeepsItsPort) {
    Server& server = Make();
    const uint16_t port = server.Port();
    ASSERT_GE(Open(kDrive0), 0);
    server.Stop();
    EXPECT_FALSE(server.Listening());
    Bytes reply;
    EXPECT_FALSE(client_.Exchange(HandleRequest(kRead, 0, 1), reply));  // its connection is gone
    RawClient refused;
    EXPECT_FALSE(refused.Connect(port));
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(server.Port(), port);
    RawClient again;
    ASSERT_TRUE(again.Connect(port));
    EXPECT_EQ(Status(Ask(OpenRequest(kDrive0), &again)), 0);
    EXPECT_EQ(server.Connections(), 2);
}

TEST_F(IngestStandin, LogFile) {
    Options options;
    options.log_file = dir_.File("requests.log");
    Server& server = Make(options);
    const int32_t h = Open(kDrive0);
    Read(h, 10);
    Bytes bad = HandleRequest(kSeek, h, 0, 5);
    bad[32] = 1;
    Ask(bad);
    std::vector<std::string> lines;
    std::ifstream in(options.log_file);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const auto log = server.Requests();
    ASSERT_EQ(log.size(), 3u);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], FormatRequest(log[0]));
    EXPECT_NE(lines[0].find("\"//./PHYSICALDRIVE0\" -> status 0 handle 0"), std::string::npos);
    EXPECT_EQ(lines[1], FormatRequest(log[1]));
    EXPECT_NE(lines[2].find("violation #2 origin"), std::string::npos);
    EXPECT_EQ(lines[3], FormatRequest(log[2]));
}

// Starts the program; its first output line is the port.
pid_t Spawn(std::vector<std::string> args, int& port) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string first;
    char c;
    while (spawned == 0 && ::read(out[0], &c, 1) == 1 && c != '\n') first += c;
    ::close(out[0]);
    port = std::atoi(first.c_str());
    return spawned == 0 ? pid : -1;
}

bool Stopped(pid_t pid) {
    ::kill(pid, SIGTERM);
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The program: knobs on the command line, the port printed, SIGUSR1 makes
// it absent, SIGTERM ends it.
TEST_F(IngestStandin, Program) {
    const std::string log = dir_.File("program.log");
    const std::string device = std::string(kDrive0) + "=" + image_;
    std::vector<std::string> args = {INGEST_STANDIN_PROGRAM, "--port", "0", "--device", device, "--block-size",
                                     "4096", "--first-handle", "5", "--open-fail", "1", "--open-status", "9",
                                     "--count-extra", "1", "--log", log};
    int port = 0;
    const pid_t pid = Spawn(args, port);
    ASSERT_GT(pid, 0);
    ASSERT_GT(port, 0);

    RawClient client;
    ASSERT_TRUE(client.Connect(static_cast<uint16_t>(port)));
    Bytes r = Ask(OpenRequest(kDrive0), &client);
    EXPECT_EQ(Status(r), 9);
    r = Ask(OpenRequest(kDrive0), &client);
    EXPECT_EQ(Status(r), 0);
    EXPECT_EQ(GetLe32(r, rep::kHandle), 5);
    EXPECT_EQ(GetLe32(Ask(HandleRequest(kBlockSize, 5), &client), rep::kBlockSize), 4096);
    EXPECT_EQ(GetLe32(Ask(HandleRequest(kRead, 5, 64), &client), rep::kCount), 65);

    ::kill(pid, SIGUSR1);
    bool absent = false;
    for (int i = 0; i < 500 && !absent; ++i) {
        RawClient probe;
        absent = !probe.Connect(static_cast<uint16_t>(port));
        if (!absent) std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(absent);

    EXPECT_TRUE(Stopped(pid));
    std::ifstream in(log);
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    EXPECT_EQ(lines, 4);
}


// --absent keeps the port until SIGUSR1; a held short reply goes at SIGHUP.
TEST_F(IngestStandin, ProgramAbsentAndHeld) {
    const std::string device = std::string(kDrive0) + "=" + image_;
    int port = 0;
    const pid_t pid = Spawn({INGEST_STANDIN_PROGRAM, "--absent", "--device", device, "--short-reply", "1:read",
                             "--short-bytes", "10", "--short-then", "hold"},
                            port);
    ASSERT_GT(pid, 0);
    ASSERT_GT(port, 0);
    RawClient client;
    EXPECT_FALSE(client.Connect(static_cast<uint16_t>(port)));
    ::kill(pid, SIGUSR1);
    bool connected = false;
    for (int i = 0; i < 500 && !connected; ++i) {
        connected = client.Connect(static_cast<uint16_t>(port));
        if (!connected) std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(connected);
    const int32_t h = GetLe32(Ask(OpenRequest(kDrive0), &client), rep::kHandle);
    Bytes held;
    bool whole = true;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        whole = client.Exchange(HandleRequest(kRead, h, 100), held);
        done = true;
    });
    // A SIGHUP before the hold began releases nothing, so repeat it.
    for (int i = 0; i < 500 && !done; ++i) {
        std::this_thread::sleep_for(20ms);
        ::kill(pid, SIGHUP);
    }
    reader.join();
    EXPECT_FALSE(whole);
    EXPECT_EQ(held.size(), 10u);
    EXPECT_TRUE(Stopped(pid));
}

TEST_F(IngestStandin, ProgramRejectsBadOptions) {
    for (const char* bad : {"--port 70000", "--short-then later", "--disconnect-before 2:write", "--block-size 512",
                            "--device nameonly", "--bogus 1"}) {
        const std::string command = std::string(INGEST_STANDIN_PROGRAM) + " " + bad + " 2>/dev/null";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << bad;
        EXPECT_EQ(WEXITSTATUS(status), 2) << bad;
    }
}

}  // namespace

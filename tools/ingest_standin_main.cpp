// ingest-standin: serves image files and block devices to the STANAG media
// library over the ingest server's protocol, on loopback by default.
#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ingest_standin.h"
#include "tool_usage.h"

namespace {

const char kUsage[] =
    "usage: ingest-standin [options]\n"
    "  --device NAME=PATH        serve PATH (image file or block device) as NAME,\n"
    "                            e.g. \"//./PHYSICALDRIVE0=img.bin\", \"//./E:=/dev/sdb\"\n"
    "  --block-size N            block size of the last --device (default: sector size, else 512)\n"
    "  --refuse-opens N          the last --device refuses its first N opens (-1: every one)\n"
    "  --bind ADDR               IPv4 address to listen on (default 127.0.0.1)\n"
    "  --port N                  port (default 0: the system picks; the port is printed)\n"
    "  --first-handle N          first device handle (default 0; -1 is never handed out)\n"
    "  --log FILE                write every request and violation to FILE\n"
    "  --absent                  keep the port but refuse connections until SIGUSR1\n"
    "faults (counts are 1-based, from the start):\n"
    "  --open-fail N             the first N opens fail (-1: every open)\n"
    "  --open-status S           status of a failed open (default 1)\n"
    "  --read-fail-from K        reads fail from the K-th read on\n"
    "  --read-status S           status of a failed read (default 1)\n"
    "  --block-size-status S     block-size requests fail with status S\n"
    "  --force-block-size N      report block size N with status 0 (e.g. 0, -1, 70000)\n"
    "  --close-status S          closes fail with status S\n"
    "  --count-extra N           reads report N bytes more than they return\n"
    "  --count-override N        reads report N bytes (e.g. 70000, -5)\n"
    "  --piece N                 send replies in pieces of N bytes\n"
    "  --delay-ms N              pause N ms before each reply\n"
    "  --delay-command C         ... only before replies to command C\n"
    "  --disconnect-before N[:C] close the connection when the N-th request (of command C) arrives\n"
    "  --short-reply N[:C]       answer the N-th request (of command C) with a short reply\n"
    "  --short-bytes K           the short reply's length (default 0)\n"
    "  --short-then close|hold   after the short reply: close, or hold until SIGHUP\n"
    "commands C: open close read blocksize seek, or 1..5\n"
    "signals: SIGUSR1 toggles absent/listening, SIGHUP releases held replies,\n"
    "         SIGINT/SIGTERM stop\n";

bool ParseInt(const char* text, long long low, long long high, long long& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text, &end, 10);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

bool ParseCommand(const std::string& text, int32_t& command) {
    const char* names[] = {"open", "close", "read", "blocksize", "seek"};
    for (int i = 0; i < 5; ++i)
        if (text == names[i]) {
            command = i + 1;
            return true;
        }
    long long v;
    if (!ParseInt(text.c_str(), 0, 5, v)) return false;
    command = static_cast<int32_t>(v);
    return true;
}

bool ParseTrigger(const std::string& text, standin::Trigger& trigger) {
    const auto colon = text.find(':');
    long long n;
    if (!ParseInt(text.substr(0, colon).c_str(), 1, 1000000000, n)) return false;
    trigger.nth = static_cast<int>(n);
    trigger.command = 0;
    return colon == std::string::npos || ParseCommand(text.substr(colon + 1), trigger.command);
}

int Usage(const char* message) {
    std::fprintf(stderr, "ingest-standin: %s\n%s", message, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    standin::Options options;
    standin::Faults& f = options.faults;
    bool absent = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (tools::AsksForHelp(arg.c_str())) return tools::ShowUsage(kUsage, true);
        if (arg == "--absent") {
            absent = true;
            continue;
        }
        if (i + 1 >= argc) return Usage(("missing value after " + arg).c_str());
        const char* value = argv[++i];
        const std::string text = value;
        long long n = 0;
        auto number = [&](long long low, long long high) {
            if (!ParseInt(value, low, high, n)) {
                std::fprintf(stderr, "ingest-standin: bad value for %s: %s\n", arg.c_str(), value);
                std::exit(2);
            }
            return n;
        };
        constexpr long long kI32Min = INT32_MIN, kI32Max = INT32_MAX;
        if (arg == "--device") {
            const auto eq = text.find('=');
            if (eq == std::string::npos || eq == 0 || eq + 1 == text.size())
                return Usage("--device wants NAME=PATH");
            options.devices.push_back({text.substr(0, eq), text.substr(eq + 1)});
        } else if (arg == "--block-size") {
            if (options.devices.empty()) return Usage("--block-size follows a --device");
            options.devices.back().block_size = static_cast<int32_t>(number(1, kI32Max));
        } else if (arg == "--refuse-opens") {
            if (options.devices.empty()) return Usage("--refuse-opens follows a --device");
            options.devices.back().refuse_opens = static_cast<int>(number(-1, kI32Max));
        } else if (arg == "--bind") {
            options.bind = text;
        } else if (arg == "--port") {
            options.port = static_cast<uint16_t>(number(0, 65535));
        } else if (arg == "--first-handle") {
            options.first_handle = static_cast<int32_t>(number(kI32Min, kI32Max));
        } else if (arg == "--log") {
            options.log_file = text;
        } else if (arg == "--open-fail") {
            f.open_failures = static_cast<int>(number(-1, kI32Max));
        } else if (arg == "--open-status") {
            f.open_status = static_cast<int32_t>(number(kI32Min, kI32Max));
        } else if (arg == "--read-fail-from") {
            f.read_fail_from = static_cast<int>(number(0, kI32Max));
        } else if (arg == "--read-status") {
            f.read_status = static_cast<int32_t>(number(kI32Min, kI32Max));
        } else if (arg == "--block-size-status") {
            f.block_size_status = static_cast<int32_t>(number(kI32Min, kI32Max));
        } else if (arg == "--force-block-size") {
            f.forced_block_size = static_cast<int32_t>(number(kI32Min, kI32Max));
        } else if (arg == "--close-status") {
            f.close_status = static_cast<int32_t>(number(kI32Min, kI32Max));
        } else if (arg == "--count-extra") {
            f.count_extra = static_cast<int32_t>(number(kI32Min, kI32Max));
        } else if (arg == "--count-override") {
            f.count_override = static_cast<int32_t>(number(kI32Min, kI32Max));
        } else if (arg == "--piece") {
            f.reply_piece = static_cast<std::size_t>(number(0, standin::kBlockBytes));
        } else if (arg == "--delay-ms") {
            f.delay = std::chrono::milliseconds(number(0, 3600000));
        } else if (arg == "--delay-command") {
            if (!ParseCommand(text, f.delay_command)) return Usage("bad --delay-command");
        } else if (arg == "--disconnect-before") {
            if (!ParseTrigger(text, f.disconnect_before)) return Usage("bad --disconnect-before");
        } else if (arg == "--short-reply") {
            if (!ParseTrigger(text, f.short_reply)) return Usage("bad --short-reply");
        } else if (arg == "--short-bytes") {
            f.short_reply_bytes = static_cast<std::size_t>(number(0, standin::kBlockBytes));
        } else if (arg == "--short-then") {
            if (text == "close") f.after_short = standin::AfterShortReply::kClose;
            else if (text == "hold") f.after_short = standin::AfterShortReply::kHold;
            else return Usage("--short-then wants close or hold");
        } else {
            return Usage(("unknown option " + arg).c_str());
        }
    }

    // Signals are taken by sigwait below, so every thread blocks them.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGUSR1, SIGHUP}) sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    standin::Server server(options);
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "ingest-standin: %s\n", error.c_str());
        return 1;
    }
    if (absent) server.Stop();
    // The port alone on standard output, for scripts that started with --port 0.
    std::printf("%u\n", static_cast<unsigned>(server.Port()));
    std::fflush(stdout);
    std::fprintf(stderr, "ingest-standin: %s on %s:%u, %zu device(s)\n", absent ? "absent" : "listening",
                 options.bind.c_str(), static_cast<unsigned>(server.Port()), options.devices.size());

    for (;;) {
        int s = 0;
        if (sigwait(&signals, &s) != 0) continue;
        if (s == SIGUSR1) {
            if (server.Listening()) {
                server.Stop();
            } else if (!server.Start(&error)) {
                std::fprintf(stderr, "ingest-standin: %s\n", error.c_str());
            }
            std::fprintf(stderr, "ingest-standin: %s\n", server.Listening() ? "listening" : "absent");
        } else if (s == SIGHUP) {
            server.Release();
        } else {
            break;
        }
    }
    server.Stop();
    return 0;
}

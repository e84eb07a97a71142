// viewer-standin [--out-dir DIR] [--channel ALL|ID] RECORDING [STEP...]
// Drives libsandral as an outside viewer does: one export call per step,
// each call printed with its arguments and result, then the text it
// returned. Steps: list, avg[=CH], time=D:H:M:S:US, slider=P, pos[=HEX],
// next=N, get=MODE,SKIP,N, value, and the loops forward=N, back=N,
// skip-forward=N. Without steps: list avg slider=50 pos next=10 value.
// Exit 2 on a usage error, 1 when a loop passes its bound, else 0.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sandral.h"

namespace {

struct Viewer {
    std::string recording;
    std::string outDir;
    std::string channel = "ALL";
    std::string lastOffset = "0";
    int page = 0;
    long long bound = 2;

    std::string OutName() {
        if (outDir.empty()) return "";
        char name[32];
        std::snprintf(name, sizeof name, "page_%04d.txt", page++);
        return outDir + "/" + name;
    }
    static void Report(const std::string& call, int result, const std::string& text = "") {
        std::printf("%s = %d\n", call.c_str(), result);
        if (!text.empty()) std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    int Next(const std::string& count) {
        const std::string out = OutName();
        std::fflush(stdout);
        const int r = Ch10GetNextPacket(channel.c_str(), out.c_str(), count.c_str());
        Report("Ch10GetNextPacket(" + channel + ", \"" + out + "\", " + count + ")", r);
        return r;
    }
    int Get(const std::string& mode, const std::string& skip, const std::string& count) {
        const std::string out = OutName();
        std::fflush(stdout);
        const int r = Ch10GetPacket(channel.c_str(), mode.c_str(), skip.c_str(), out.c_str(), count.c_str());
        Report("Ch10GetPacket(" + channel + ", " + mode + ", " + skip + ", \"" + out + "\", " + count + ")", r);
        return r;
    }
    // Repeats `step` until it gives 2; false when the bound passes first.
    template <class F>
    bool Loop(F step) {
        for (long long k = 0; k < bound; ++k) {
            const int r = step();
            if (r == 2) return true;
            // 1 or 3: no page came, and none will; as good as the bound.
            if (r != 0) break;
        }
        std::fprintf(stderr, "viewer-standin: no end of data within %lld requests\n", bound);
        return false;
    }
    int Run(const std::string& step);
};

std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t p; (p = text.find(at, from)) != std::string::npos; from = p + 1)
        parts.push_back(text.substr(from, p - from));
    parts.push_back(text.substr(from));
    return parts;
}

// 0 done, 1 a loop passed its bound, 2 an unknown step.
int Viewer::Run(const std::string& step) {
    const std::size_t eq = step.find('=');
    const std::string name = step.substr(0, eq);
    const bool hasArg = eq != std::string::npos;
    const std::string arg = hasArg ? step.substr(eq + 1) : "";
    const char* rec = recording.c_str();
    if (name == "list" && !hasArg) {
        char list[SANDRAL_CHANNEL_LIST_SIZE] = "";
        const int r = Ch10GetChannelList(rec, list);
        Report(std::string("Ch10GetChannelList(") + rec + ")", r, list);
    } else if (name == "avg") {
        const std::string ch = hasArg ? arg : channel;
        Report("Ch10AveragePacketSize(" + ch + ")", Ch10AveragePacketSize(ch.c_str()));
    } else if (name == "time" && hasArg) {
        char offset[SANDRAL_OFFSET_TEXT_SIZE] = "";
        const int r = Ch10GoToTime(rec, arg.c_str(), offset);
        if (r == 0) lastOffset = offset;
        Report(std::string("Ch10GoToTime(") + rec + ", " + arg + ")", r, offset);
    } else if (name == "slider" && hasArg) {
        char offset[SANDRAL_OFFSET_TEXT_SIZE] = "";
        const int r = Ch10GetSliderOffset(arg.c_str(), offset);
        lastOffset = offset;
        Report("Ch10GetSliderOffset(" + arg + ")", r, offset);
    } else if (name == "pos") {
        const std::string hex = hasArg ? arg : lastOffset;
        Report(std::string("Ch10PositionOffset(") + rec + ", " + hex + ")", Ch10PositionOffset(rec, hex.c_str()));
    } else if (name == "next" && hasArg) {
        Next(arg);
    } else if (name == "get" && hasArg) {
        const auto parts = Split(arg, ',');
        if (parts.size() != 3) return 2;
        Get(parts[0], parts[1], parts[2]);
    } else if (name == "value" && !hasArg) {
        char percent[SANDRAL_PERCENT_TEXT_SIZE] = "";
        const int r = Ch10GetSliderValue(percent);
        Report("Ch10GetSliderValue()", r, percent);
    } else if (name == "forward" && hasArg) {
        Get("BOF", "0", arg);
        if (!Loop([&] { return Next(arg); })) return 1;
    } else if (name == "back" && hasArg) {
        Get("EOF", "0", arg);
        if (!Loop([&] { return Get("PREV", "1", arg); })) return 1;
    } else if (name == "skip-forward" && hasArg) {
        Get("BOF", "0", arg);
        if (!Loop([&] { return Get("NEXT", arg, arg); })) return 1;
    } else {
        return 2;
    }
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: viewer-standin [--out-dir DIR] [--channel ALL|ID] RECORDING [STEP...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Viewer v;
    std::vector<std::string> steps;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--out-dir" && i + 1 < argc) v.outDir = argv[++i];
        else if (a == "--channel" && i + 1 < argc) v.channel = argv[++i];
        else if (a.rfind("--", 0) == 0) return Usage();
        else break;
    }
    if (i >= argc) return Usage();
    v.recording = argv[i++];
    for (; i < argc; ++i) steps.emplace_back(argv[i]);
    if (steps.empty()) steps = {"list", "avg", "slider=50", "pos", "next=10", "value"};
    std::error_code ec;
    const auto size = std::filesystem::file_size(v.recording, ec);
    v.bound = (ec ? 0 : static_cast<long long>(size)) / 24 + 2;
    for (const std::string& step : steps) {
        const int r = v.Run(step);
        if (r == 2) return Usage();
        if (r == 1) return 1;
    }
    return 0;
}

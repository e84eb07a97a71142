// ExportData: per-parameter sample files into one CSV, one column per
// parameter, one row per time step.
#include "data_export.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "c_boundary.h"
#include "pcm_format.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/numbers.h"
#include "platform/output_file.h"
#include "platform/path.h"
#include "platform/text_file.h"
#include "tessin.h"
#include "tessin_state.h"

namespace tessin {
namespace {

constexpr int kMaxParameters = 253;
constexpr int kBlockSamples = 100;
constexpr int kSampleBytes = 16;
constexpr int kHeaderBytes = 152;
constexpr int64_t kMaxRows = 65535;
constexpr int64_t kMinSpacing = 500;
constexpr int64_t kSkipThreshold = 100;
constexpr int64_t kMaxSkip = int64_t{1} << 40;  // samples; any skip this long ends past the data

int64_t ReadI64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return static_cast<int64_t>(v);
}

class Descriptor {
public:
    explicit Descriptor(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    bool ok() const { return fd_ >= 0; }
    // Reads until `count` bytes or the end; -1 on an error before any byte.
    int64_t Read(uint8_t* out, int64_t count) {
        int64_t got = 0;
        while (got < count) {
            ssize_t n = ::read(fd_, out + got, static_cast<std::size_t>(count - got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return got > 0 ? got : n;
            got += n;
        }
        return got;
    }
    int64_t Position() const { return ::lseek(fd_, 0, SEEK_CUR); }
    void Seek(int64_t position) { ::lseek(fd_, position, SEEK_SET); }

private:
    int fd_;
};

struct Parameter {
    std::string name;
    std::unique_ptr<Descriptor> file;
    bool eof = false;
    int16_t kind = 0;
    int64_t timeBase = 0;
    uint8_t block[kBlockSamples * kSampleBytes] = {};
    int64_t times[kBlockSamples] = {};  // time base + offset of each sample in the block
    int count = 0;
    int pos = 0;
    uint8_t last[8] = {};
    int64_t lastTime = 0;
    int64_t spacing = 0;
    int64_t skipFrom = -1;   // where the last forward skip began, until its next block is checked
    bool inOrder = false;    // a skip overshot: read in order until the row is served

    int64_t TimeAt(int k) const { return times[k]; }
    const uint8_t* ValueAt(int k) const { return block + k * kSampleBytes + 8; }
};

class ExportLog {
public:
    void Open() {
        std::string path = platform::MapFixedLogPath("C:\\temp\\tessin.log");
        if (!path.empty()) file_.Open(path, "w");
    }
    void Line(const std::string& text) {
        if (!file_.IsOpen()) return;
        file_.Write(text);
        file_.Flush();
    }
    // Logs and leaves the line, without its end, as the last error.
    void Failure(const std::string& text) {
        Line(text);
        std::string error = text;
        while (!error.empty() && (error.back() == '\n' || error.back() == '\r')) error.pop_back();
        SetLastError("%s", error.c_str());
    }

private:
    platform::TextFile file_;
};

enum class BlockRead { Read, End, BadTimes };

// The block's sample times; false when a time lies outside what 64 bits
// hold, which makes the block as unusable as one that cannot be read.
bool SetBlockTimes(Parameter& p) {
    for (int k = 0; k < p.count; ++k)
        if (__builtin_add_overflow(p.timeBase, ReadI64(p.block + k * kSampleBytes), &p.times[k])) return false;
    return true;
}

// Mean spacing of the block's samples, at least the floor; a spread beyond
// 64 bits is as wide as spacing gets.
int64_t BlockSpacing(const Parameter& p) {
    int64_t first = ReadI64(p.block), last = ReadI64(p.block + (p.count - 1) * kSampleBytes);
    int64_t spread = 0;
    if (__builtin_sub_overflow(last, first, &spread)) return last > first ? INT64_MAX : kMinSpacing;
    return std::max(spread / p.count, kMinSpacing);
}

// Reads the next block: End when it holds no whole sample.
BlockRead ReadBlock(Parameter& p) {
    int64_t got = p.file->Read(p.block, sizeof p.block);
    p.count = got > 0 ? static_cast<int>(got / kSampleBytes) : 0;
    p.pos = 0;
    if (p.count == 0) return BlockRead::End;
    if (!SetBlockTimes(p)) {
        p.count = 0;
        return BlockRead::BadTimes;
    }
    p.lastTime = p.TimeAt(p.count - 1);
    p.spacing = BlockSpacing(p);
    return BlockRead::Read;
}

// Samples to move forward to near row time t from the block's last time.
int64_t SkipFor(const Parameter& p, int64_t t) {
    int64_t gap = 0;
    if (__builtin_sub_overflow(t, p.lastTime, &gap)) return kMaxSkip;
    double skip = static_cast<double>(gap) * 0.75 / static_cast<double>(p.spacing);
    return skip >= static_cast<double>(kMaxSkip) ? kMaxSkip : static_cast<int64_t>(skip);
}

// The block right after a skip must start at or before the row time and
// hold a sample; otherwise the skip went too far and is undone.
bool SkipOvershot(Parameter& p, bool read, int64_t t, int index, ExportLog& log) {
    if (read && p.TimeAt(0) > t)
        log.Line(platform::Format("Advaced the pointer more than needed. i=%d, d_cur_interval=%g.\n", index,
                                  static_cast<double>(p.spacing)));
    if (p.skipFrom < 0) return false;
    int64_t from = p.skipFrom;
    p.skipFrom = -1;
    if (read && p.TimeAt(0) <= t) return false;
    p.file->Seek(from);
    p.count = p.pos = 0;
    p.inOrder = true;
    return true;
}

// The value for row time t: the first sample at or after t; at end of data
// the last value passed. False at end of data.
bool ValueFor(Parameter& p, int64_t t, int index, ExportLog& log, const uint8_t*& value) {
    while (!p.eof) {
        if (p.pos >= p.count) {
            BlockRead read = ReadBlock(p);
            if (SkipOvershot(p, read == BlockRead::Read, t, index, log)) continue;
            if (read != BlockRead::Read) {
                // Times that cannot be used end the data as a failed read does.
                if (read == BlockRead::BadTimes)
                    log.Line(platform::Format("i=%d sample times beyond range: data ends here.\n", index));
                p.eof = true;
                break;
            }
        }
        if (t > p.lastTime) {
            std::memcpy(p.last, p.ValueAt(p.count - 1), 8);
            p.pos = p.count;
            int64_t skip = SkipFor(p, t);
            if (!p.inOrder && p.spacing > 0 && skip > kSkipThreshold) {
                p.skipFrom = p.file->Position();
                p.file->Seek(p.skipFrom + skip * kSampleBytes);
            }
            continue;
        }
        for (; p.pos < p.count; ++p.pos) {
            if (p.TimeAt(p.pos) >= t) {
                p.inOrder = false;
                value = p.ValueAt(p.pos);
                return true;
            }
            std::memcpy(p.last, p.ValueAt(p.pos), 8);
        }
    }
    p.inOrder = false;
    value = p.last;
    return false;
}

std::string ValueText(const Parameter& p, const uint8_t* v) {
    if (p.kind == 0 || p.kind == 1) {
        uint32_t u = static_cast<uint32_t>(v[0]) | static_cast<uint32_t>(v[1]) << 8 |
                     static_cast<uint32_t>(v[2]) << 16 | static_cast<uint32_t>(v[3]) << 24;
        return platform::Format("%d", static_cast<int32_t>(u));
    }
    double d;
    uint64_t bits = static_cast<uint64_t>(ReadI64(v));
    std::memcpy(&d, &bits, sizeof d);
    return trim_field(platform::Format("%20.10g", d));
}

std::string ListBaseName(const std::string& listPath) {
    std::string base = listPath.substr(platform::BaseNameOffset(listPath));
    std::size_t dot = base.rfind('.');
    return dot == std::string::npos ? base : base.substr(0, dot);
}

// Opens the parameter's file and reads its header; false with a log line.
bool OpenParameter(Parameter& p, const std::string& path, ExportLog& log) {
    p.file = std::make_unique<Descriptor>(path);
    if (!p.file->ok()) {
        log.Line(platform::Format("Error opening the Measurand/Sample File: %s, errno=%s \n", path.c_str(),
                                  platform::SystemErrorText(errno).c_str()));
        p.file.reset();
        return false;
    }
    uint8_t header[kHeaderBytes];
    int64_t got = p.file->Read(header, kHeaderBytes);
    if (got < kHeaderBytes) {
        std::string why = got < 0 ? platform::SystemErrorText(errno) : "short header";
        log.Line(platform::Format("Error reading the MEAS_INFO_ENTRY data from file %s: %s\n", path.c_str(),
                                  why.c_str()));
        p.file.reset();
        return false;
    }
    p.kind = static_cast<int16_t>(header[16] | header[17] << 8);
    p.timeBase = ReadI64(header + 136);
    // A file whose first samples have no usable time is as unreadable as
    // one without a header.
    if (ReadBlock(p) == BlockRead::BadTimes) {
        log.Line(platform::Format("Error reading the MEAS_INFO_ENTRY data from file %s: %s\n", path.c_str(),
                                  "sample times beyond range"));
        p.file.reset();
        return false;
    }
    p.file->Seek(kHeaderBytes);
    p.count = p.pos = 0;
    return true;
}

struct ExportRequest {
    std::string folder, output, start, end, list;
    int interval = 0;
};

int RunExport(const ExportRequest& rq, ExportLog& log);

}  // namespace

bool parse_time_string(const char* text, int64_t& micros) {
    std::string_view s = text ? text : "";
    if (s.size() < 14) return false;
    // Each field below ten million keeps the sum, and every row time and
    // span made from it, inside 64 bits.
    constexpr double kFieldLimit = 1e7;
    bool usable = true;
    auto at = [&](std::size_t offset) {
        double v = platform::DecimalToDouble(s.substr(offset));
        if (!(v > -kFieldLimit && v < kFieldLimit)) usable = false;
        return usable ? static_cast<int64_t>(v) : 0;
    };
    micros = at(0) * 86400000000LL + at(4) * 3600000000LL + at(7) * 60000000LL + at(10) * 1000000LL + at(13);
    return usable;
}

std::string format_time_string(int64_t micros) {
    int64_t day = micros / 86400000000LL, rest = micros % 86400000000LL;
    int64_t hour = rest / 3600000000LL;
    rest %= 3600000000LL;
    int64_t minute = rest / 60000000LL;
    rest %= 60000000LL;
    int64_t second = rest / 1000000LL;
    rest %= 1000000LL;
    return platform::Format("%03d:%02d:%02d:%02d:%03d%03d", static_cast<int>(day), static_cast<int>(hour),
                            static_cast<int>(minute), static_cast<int>(second), static_cast<int>(rest / 1000),
                            static_cast<int>(rest % 1000));
}

std::string trim_field(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\t' || c == '\n' || c == '\r' || c == '|') break;
        if (c != ' ') out += c;
    }
    return out;
}

namespace {

int RunExport(const ExportRequest& rq, ExportLog& log) {
    int64_t start = 0, end = 0;
    for (const std::string* t : {&rq.start, &rq.end}) {
        int64_t v = 0;
        if (!parse_time_string(t->c_str(), v)) {
            log.Failure(platform::Format("Error parsing the time string: %s\n", t->c_str()));
            return -1;
        }
        (t == &rq.start ? start : end) = v;
    }
    if (rq.interval < 1) {
        log.Failure(platform::Format("Invalid interval: %d\n", rq.interval));
        return -1;
    }
    if (end < start) {
        log.Failure("End time is before start time.\n");
        return -1;
    }
    int64_t rows = (end - start) / rq.interval + 1;
    log.Line(platform::Format("numrecouttot=%lld\n", static_cast<long long>(rows)));
    if (rows > kMaxRows) rows = kMaxRows;

    platform::TextFile out;
    if (!out.Open(rq.output, "w")) {
        log.Failure(platform::Format("Error opening the Output File: %s\n", platform::SystemErrorText(errno).c_str()));
        return -1;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> list(std::fopen(rq.list.c_str(), "r"), std::fclose);
    if (!list) {
        log.Failure(platform::Format("Error opening the Param List File: %s\n", rq.list.c_str()));
        return -2;
    }
    std::string base = ListBaseName(rq.list);
    std::vector<Parameter> params;
    params.reserve(kMaxParameters);
    std::string header = "IRIG_TIME,DELTA_IRIG";
    char line[80];
    while (static_cast<int>(params.size()) < kMaxParameters && std::fgets(line, sizeof line, list.get())) {
        std::string name = trim_field(line);
        log.Line(platform::Format("parameter[%d]: %s\n", static_cast<int>(params.size()), name.c_str()));
        if (name.size() > 15) continue;
        Parameter& p = params.emplace_back();
        p.name = name;
        if (!OpenParameter(p, rq.folder + "/" + base + "/" + name + "_M.DAT", log)) {
            params.pop_back();
            continue;
        }
        header += "," + name;
    }
    if (params.empty()) {
        log.Failure("No parameters to process.\n");
        return -1;
    }
    out.Write(header + "\n");
    out.Flush();
    for (int64_t k = 0; k < rows; ++k) {
        int64_t t = start + k * rq.interval;
        int64_t elapsed = k * rq.interval;
        std::string row = format_time_string(t) + "," +
                          trim_field(platform::Format("%lld.%06lld", static_cast<long long>(elapsed / 1000000),
                                                      static_cast<long long>(elapsed % 1000000)));
        for (std::size_t i = 0; i < params.size(); ++i) {
            const uint8_t* value = nullptr;
            if (!ValueFor(params[i], t, static_cast<int>(i), log, value))
                log.Line(platform::Format("i=%d EOF at numrecout=%d.\n", static_cast<int>(i), static_cast<int>(k)));
            row += "," + ValueText(params[i], value);
        }
        out.Write(row + "\n");
        out.Flush();
    }
    return 0;
}

}  // namespace
}  // namespace tessin

TESSIN_API int ORVANE_CDECL ExportData(const char* inputFolder, const char* outputFile, const char* startTime,
                                       const char* endTime, int intervalUs, const char* paramListFile) {
    using namespace tessin;
    return CallGuarded(-1, [&] {
        State().services.lastError[0] = '\0';
        ExportRequest rq;
        rq.folder = inputFolder ? inputFolder : "";
        rq.output = outputFile ? outputFile : "";
        rq.start = startTime ? startTime : "";
        rq.end = endTime ? endTime : "";
        rq.list = paramListFile ? paramListFile : "";
        rq.interval = intervalUs;
        ExportLog log;
        log.Open();
        log.Line(platform::Format("ExportData: input_folder=%s, output_filename=%s, start_time_str=%s, "
                                  "end_time_str=%s, interval=%d, param_list_filename=%s\n",
                                  rq.folder.c_str(), rq.output.c_str(), rq.start.c_str(), rq.end.c_str(),
                                  rq.interval, rq.list.c_str()));
        try {
            return RunExport(rq, log);
        } catch (...) {
            log.Failure("Error allocating the param_entry array.\n");
            return -1;
        }
    }, [] { SetLastError("Error allocating the param_entry array."); });
}

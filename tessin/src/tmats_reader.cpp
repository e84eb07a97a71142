// TMATS source files for the services: read into the one text buffer, cut
// into attributes, resolved through the dictionary, sorted by group.
#include "tmats_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstring>
#include <new>

#include "platform/files.h"
#include "platform/format.h"
#include "tessin_state.h"
#include "tmats_fields.h"

namespace tessin {
namespace {

constexpr int32_t kTextReserve = 1024;         // zero bytes behind the text
constexpr int32_t kRecordingReadSize = 0x80000;
constexpr int32_t kMinimumSource = 512;
constexpr std::size_t kFirstEntries = 100000;

ServicesState& Services() { return State().services; }

class Descriptor {
public:
    explicit Descriptor(const char* path) : fd_(::open(path, O_RDONLY | O_CLOEXEC)) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    bool ok() const { return fd_ >= 0; }
    // Reads from `offset` until `count` bytes or the end of the file.
    int64_t ReadAt(char* out, int64_t count, int64_t offset) const {
        int64_t got = 0;
        while (got < count) {
            ssize_t n = ::pread(fd_, out + got, static_cast<std::size_t>(count - got), offset + got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return got > 0 ? got : n;
            got += n;
        }
        return got;
    }
    int64_t Length() const {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
    }

private:
    int fd_;
};

void ClearEntries(ServicesState& s) {
    s.entries.clear();
    std::fill(std::begin(s.rangeStart), std::end(s.rangeStart), 0);
    std::fill(std::begin(s.rangeCount), std::end(s.rangeCount), 0);
}

// Leading decimal digits, saturated at 65,535.
uint16_t ReadIndex(const char* p) {
    uint32_t v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) v = std::min<uint32_t>(v * 10 + static_cast<uint32_t>(*p - '0'), 65535);
    return static_cast<uint16_t>(v);
}

// The group number after "X-": leading digits, saturated.
int32_t ReadGroupNumber(const char* p) {
    int64_t v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) v = std::min<int64_t>(v * 10 + (*p - '0'), INT32_MAX);
    return static_cast<int32_t>(v);
}

int64_t FindProgramName(const char* text, int32_t length) {
    static constexpr char kPn[] = "G\\PN:";
    for (int64_t i = 0; i < static_cast<int64_t>(length) - 5; ++i)
        if (std::memcmp(text + i, kPn, 5) == 0) return i;
    return -1;
}

void FillRanges(ServicesState& s) {
    for (std::size_t i = 0; i < s.entries.size(); ++i) {
        const char* at = std::find(std::begin(kServiceGroupLetters), std::end(kServiceGroupLetters),
                                   s.entries[i].letter);
        if (at == std::end(kServiceGroupLetters)) continue;
        auto g = at - kServiceGroupLetters;
        if (s.rangeCount[g]++ == 0) s.rangeStart[g] = static_cast<int32_t>(i);
    }
}

void LogEntries(const ServicesState& s) {
    if (!s.log.IsOpen()) return;
    for (ServiceGroup g : {ServiceGroup::G, ServiceGroup::R, ServiceGroup::P, ServiceGroup::D, ServiceGroup::B,
                           ServiceGroup::C}) {
        for (const TmatsEntry& e : GroupEntries(g)) {
            std::string line = platform::Format("%c-%d\\%s", e.letter, e.group, e.code);
            for (uint16_t index : e.index) {
                if (index == 0) break;
                platform::AppendFormat(line, "-%d", index);
            }
            platform::AppendFormat(line, ":%s\n", e.value);
            UtilitiesLog(line);
        }
    }
}

// Logs the line and leaves its text as the last error.
void ReadFailure(const std::string& text) {
    UtilitiesLog(text + "\n");
    CopyField(Services().lastError, kLastErrorSize, text.c_str());
}

}  // namespace


void OpenUtilitiesLog() {
    ServicesState& s = Services();
    if (s.log.IsOpen()) return;
    std::string path = platform::MapFixedLogPath("C:/talmorlog/TMATSUtils.log");
    if (!path.empty()) s.log.Open(path, "w+");
}

void UtilitiesLog(std::string_view text) {
    ServicesState& s = Services();
    if (s.log.IsOpen()) s.log.Write(text);
}

void UtilitiesLogF(const char* format, ...) {
    if (!Services().log.IsOpen()) return;
    va_list args;
    va_start(args, format);
    std::string text = platform::FormatV(format, args);
    va_end(args);
    UtilitiesLog(text);
}

void FlushUtilitiesLog() {
    ServicesState& s = Services();
    if (s.log.IsOpen()) s.log.Flush();
}

EntryRange GroupEntries(ServiceGroup group) {
    const ServicesState& s = Services();
    auto g = static_cast<int>(group);
    if (s.rangeCount[g] == 0) return {};
    return {s.entries.data() + s.rangeStart[g], s.rangeCount[g]};
}

int compare_attribute_entries(const TmatsEntry& a, const TmatsEntry& b) {
    auto cmp = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (int c = cmp(a.letter, b.letter)) return c;
    if (int c = cmp(a.group, b.group)) return c;
    if (int c = cmp(a.level, b.level)) return c;
    for (int i = 0; i < 5; ++i)
        if (int c = cmp(a.index[i], b.index[i])) return c;
    return cmp(a.id, b.id);
}

void parse_tmats_attribute(char* attribute) {
    ServicesState& s = Services();
    if (s.filter.empty()) s.filter = "BCDGPR";
    char letter = attribute[0];
    if (letter == '\0' || s.filter.find(letter) == std::string::npos) return;
    if (letter != 'G' && attribute[1] != '-') return;
    char* slash = std::strchr(attribute, '\\');
    if (!slash) return;
    *slash = '\0';
    TmatsEntry entry;
    entry.letter = letter;
    entry.group = letter == 'G' ? 1 : ReadGroupNumber(attribute + 2);
    if (entry.group < 1) return;
    char* code = slash + 1;
    char* colon = std::strchr(code, ':');
    if (!colon) return;
    *colon = '\0';
    entry.value = colon + 1;
    entry.code = code;
    if (char* dash = std::strchr(code, '-')) {
        *dash = '\0';
        const char* p = dash + 1;
        for (int i = 0; i < 5; ++i) {
            entry.index[i] = ReadIndex(p);
            if (entry.index[i] == 0) break;
            p = std::strchr(p, '-');
            if (!p) break;
            ++p;
        }
    }
    std::size_t codeLength = std::strlen(code);
    if (codeLength > kDictionaryKeySize - 2) return;
    char key[kDictionaryKeySize];
    key[0] = letter;
    std::memcpy(key + 1, code, codeLength + 1);
    if (lookup_attribute_dictionary(entry, key) < 0) return;
    s.entries.push_back(entry);
}

int sort_tmats_attributes(char* text, int length) {
    ServicesState& s = Services();
    int64_t start = FindProgramName(text, length);
    if (start < 0) {
        UtilitiesLog("Unable to locate Program Name (G\\PN:) attribute in TMATS data.\n");
        return -1;
    }
    try {
        ClearEntries(s);
        if (s.entries.capacity() < kFirstEntries) s.entries.reserve(kFirstEntries);
        int64_t attribute = start;
        for (int64_t p = start; p < length && text[p] != '\0'; ++p) {
            auto c = static_cast<unsigned char>(text[p]);
            if (c == ';') {
                text[p] = '\0';
                char* a = text + attribute;
                if (a[0] == 'G' || (a[0] != '\0' && a[1] == '-')) parse_tmats_attribute(a);
                attribute = p + 1;
            } else if (c < 0x20) {
                text[p] = '\0';
                attribute = p + 1;
            }
        }
    } catch (const std::bad_alloc&) {
        UtilitiesLog("Error reallocating the TMATS attribute pointer array.\r\n");
        return -1;
    }
    std::stable_sort(s.entries.begin(), s.entries.end(),
                     [](const TmatsEntry& a, const TmatsEntry& b) { return compare_attribute_entries(a, b) < 0; });
    FillRanges(s);
    LogEntries(s);
    return 0;
}

int ReadTMATS(const char* path, int sort) {
    ServicesState& s = Services();
    if (!path || !*path) {
        ReadFailure("ReadTMATS: No input file specified");
        return -1;
    }
    Descriptor file(path);
    if (!file.ok()) {
        ReadFailure(platform::Format("ReadTMATS: Error opening input file %s", path));
        return -1;
    }
    char head[kMinimumSource];
    if (file.ReadAt(head, kMinimumSource, 0) < kMinimumSource) {
        ReadFailure(platform::Format("ReadTMATS: Error reading input file %s", path));
        return -1;
    }
    bool recording = static_cast<unsigned char>(head[0]) == 0x25 && static_cast<unsigned char>(head[1]) == 0xEB;
    int64_t readSize = recording ? kRecordingReadSize : file.Length();
    free_tmats_buffer();
    if (readSize < 0 || readSize > INT_MAX - kTextReserve) {
        ReadFailure("ReadTMATS: Error allocating input buffer.");
        return -1;
    }
    s.text.reset(new (std::nothrow) char[static_cast<std::size_t>(readSize + kTextReserve)]());
    if (!s.text) {
        ReadFailure("ReadTMATS: Error allocating input buffer.");
        return -1;
    }
    int64_t got = file.ReadAt(s.text.get(), readSize, 0);
    if (got <= 0) {
        ReadFailure(platform::Format("ReadTMATS: Error reading input file %s", path));
        return -1;
    }
    s.textLength = static_cast<int32_t>(got);
    if (sort && sort_tmats_attributes(s.text.get(), s.textLength) != 0) {
        ReadFailure("ReadTMATS: Problem sorting the TMATS data.");
        free_tmats_buffer();
        return -1;
    }
    return 0;
}

void free_tmats_buffer() {
    ServicesState& s = Services();
    if (s.listRecord) {
        TmatsState& tm = State().tmats;
        auto& records = tm.records.Get();
        for (auto it = records.begin(); it != records.end(); ++it) {
            if (&(*it)->info != s.listRecord) continue;
            records.erase(it);
            break;
        }
        if (tm.current == s.listRecord) tm.current = nullptr;
        s.listRecord = nullptr;
    }
    s.dataLinks.clear();
    s.dataLinks.shrink_to_fit();
    ClearEntries(s);
    s.entries.shrink_to_fit();
    s.text.reset();
    s.textLength = 0;
}

void ServicesState::Reset() {
    free_tmats_buffer();
    filter.clear();
    log.Close();
    lastError[0] = '\0';
    current.reset();
    superseded.clear();
    tables.reset();
}

}  // namespace tessin

// The measurand list and the recorder channel list of a TMATS file, written
// into a caller's buffer.
#include "tmats_lists.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>

#include "c_boundary.h"
#include "pcm_format.h"
#include "platform/format.h"
#include "tessin_state.h"
#include "tmats_fields.h"
#include "tmats_reader.h"

namespace tessin {
namespace {

constexpr std::size_t kNameChars = 15;
constexpr std::size_t kDescriptionChars = 60;
constexpr std::size_t kFirstBusNames = 10000;
constexpr std::size_t kBusNameGrowth = 1000;

ServicesState& Services() { return State().services; }

// Logs the line and leaves it, without its line end, as the last error.
void ListFailure(const std::string& line) {
    UtilitiesLog(line);
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    CopyField(Services().lastError, kLastErrorSize, text.c_str());
}

// A list call that could not finish: the reason, the text released, the
// log flushed, so the next call starts clean.
void ListsFailed(const std::string& line) {
    ListFailure(line);
    free_tmats_buffer();
    FlushUtilitiesLog();
}

// Caller's buffer checks done before the file is read.
bool BufferUsable(const char* service, const char* buf, int length) {
    if (!buf) {
        ListFailure(platform::Format("%s: Null buf pointer passed.\n", service));
        return false;
    }
    if (length < 1) {
        ListFailure(platform::Format("%s: Invalid buf length passed.\n", service));
        return false;
    }
    return true;
}

// The record made from the text read stays the lists' until
// free_tmats_buffer, even when validation abandoned it.
CHAN_INFO* ProcessListText() {
    ServicesState& s = Services();
    char errorText[80] = "";
    CHAN_INFO* record = process_tmats_packet(s.text.get(), s.textLength, errorText, nullptr);
    s.listRecord = State().tmats.current;
    return record;
}

std::string Cut(const char* value, std::size_t chars) { return std::string(value, strnlen(value, chars)); }

// The link a group's name entry (text before any comma) starts or renames;
// an empty name leaves the group without one.
DataLinkEntry* NameLink(std::vector<DataLinkEntry>& links, DataLinkEntry* link, const char* value, char kind) {
    std::string name = Cut(value, 63);
    name = name.substr(0, name.find(','));
    if (name.empty()) return link;
    if (!link) link = &links.emplace_back();
    CopyField(link->name, sizeof link->name, name.c_str());
    link->kind = kind;
    return link;
}

// A link's capacity after one more declared count: negative counts add
// nothing, and the sum stops at the largest count a capacity holds.
int32_t AddedCapacity(int32_t capacity, int32_t declared) {
    int64_t sum = static_cast<int64_t>(capacity) + std::max<int32_t>(declared, 0);
    return static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
}

// D groups: links named by DLN, with the measurement lists MN\N announces.
void CollectDataLinks(std::vector<DataLinkEntry>& links) {
    int32_t group = -1;
    DataLinkEntry* link = nullptr;
    EntryRange d = GroupEntries(ServiceGroup::D);
    const int64_t names = d.count;
    for (const TmatsEntry& e : d) {
        if (e.group != group) {
            group = e.group;
            link = nullptr;
        }
        if (e.id == 0) {
            link = NameLink(links, link, e.value, 'P');
        } else if (link && e.id == 3) {
            link->capacity = AddedCapacity(link->capacity, DecimalValue(e.value));
            // The declared count is only a hint: the text holds no more names
            // than it has D attributes.
            link->names.reserve(static_cast<std::size_t>(std::min<int64_t>(link->capacity, names)));
        } else if (link && e.id == 4 && static_cast<int32_t>(link->names.size()) < link->capacity) {
            link->names.push_back(Cut(e.value, kNameChars));
        }
    }
}

// B groups: every MN names a measurement on the bus link.
bool CollectBusLinks(std::vector<DataLinkEntry>& links) {
    int32_t group = -1;
    DataLinkEntry* link = nullptr;
    for (const TmatsEntry& e : GroupEntries(ServiceGroup::B)) {
        if (e.group != group) {
            group = e.group;
            link = nullptr;
        }
        if (e.id == 0) {
            link = NameLink(links, link, e.value, 'B');
        } else if (link && e.id == 28) {
            try {
                if (link->names.capacity() == 0) link->names.reserve(kFirstBusNames);
                if (link->names.size() == link->names.capacity())
                    link->names.reserve(link->names.capacity() + kBusNameGrowth);
            } catch (const std::bad_alloc&) {
                ListFailure("GetParametersFromTMATS: Could not realloc\n");
                return false;
            }
            link->names.push_back(Cut(e.value, kNameChars));
        }
    }
    return true;
}

const char* LinkOf(const std::vector<DataLinkEntry>& links, const std::string& name) {
    for (const DataLinkEntry& link : links)
        if (std::binary_search(link.names.begin(), link.names.end(), name)) return link.name;
    return "UNKNOWN";
}

struct MeasurandLine {
    std::string name;
    char kind = 'M';
    std::string description;
    std::string units;
};

struct BufferText {
    char* buf;
    int length;
    int64_t written = 0;
};

void EmitMeasurand(BufferText& out, const MeasurandLine& m, const std::vector<DataLinkEntry>& links) {
    if (m.name.empty()) return;
    std::string line = platform::Format("%s|%c|%s|%s|%s\n", m.name.c_str(), m.kind, m.description.c_str(),
                                        m.units.c_str(), LinkOf(links, m.name));
    if (out.written + static_cast<int64_t>(line.size()) >= out.length) return;
    std::memcpy(out.buf + out.written, line.data(), line.size());
    out.written += static_cast<int64_t>(line.size());
}

void WriteMeasurands(BufferText& out, const std::vector<DataLinkEntry>& links) {
    MeasurandLine m;
    int32_t group = -1;
    for (const TmatsEntry& e : GroupEntries(ServiceGroup::C)) {
        if (group != -1 && e.group != group) {
            EmitMeasurand(out, m, links);
            m = MeasurandLine{};
        }
        group = e.group;
        switch (e.id) {
        case 0: m.name = Cut(e.value, kNameChars); break;
        case 12: m.description = Cut(e.value, kDescriptionChars); break;
        case 15: m.units = Cut(e.value, kNameChars); break;
        case 60: m.kind = std::strncmp(e.value, "RAW", 3) == 0 ? 'S' : 'M'; break;
        default: break;
        }
    }
    EmitMeasurand(out, m, links);
}

int ParameterList(const char* path, char* buf, int length) {
    ServicesState& s = Services();
    s.filter = "RBDC";
    if (ReadTMATS(path, 0) != 0) return -1;
    ProcessListText();
    if (sort_tmats_attributes(s.text.get(), s.textLength) != 0) {
        ListFailure("ReadTMATS: Problem sorting the TMATS data.\n");
        return -1;
    }
    try {
        CollectDataLinks(s.dataLinks);
        if (!CollectBusLinks(s.dataLinks)) return -1;
    } catch (const std::bad_alloc&) {
        ListFailure("GetParametersFromTMATS: Problem allocating memory.\n");
        return -1;
    }
    for (DataLinkEntry& link : s.dataLinks) std::sort(link.names.begin(), link.names.end());
    std::memset(buf, 0, static_cast<std::size_t>(length));
    BufferText out{buf, length};
    WriteMeasurands(out, s.dataLinks);
    return static_cast<int>(out.written);
}

}  // namespace

int get_ch10_channel_list(const char* path, char* buf, int length) {
    if (ReadTMATS(path, 0) != 0) return -1;
    CHAN_INFO* record = ProcessListText();
    std::memset(buf, 0, static_cast<std::size_t>(length));
    if (!record) {
        ListFailure(platform::Format("Error reading the channel list from file %s.", path ? path : ""));
        free_tmats_buffer();
        return -1;
    }
    int written = BuildChannelList(*record, buf, length);
    UtilitiesLogF("get_ch10_channel_list: buf_ptr=%s\n", buf);
    free_tmats_buffer();
    return written;
}

namespace {

int ReleasedParameterList(const char* path, char* buf, int length) {
    int result = ParameterList(path, buf, length);
    free_tmats_buffer();
    return result;
}

// One list service: the caller's buffer checked, the list built, the log
// flushed; anything thrown is the service's allocation failure.
int ListService(const char* service, const char* path, char* buf, int length, int (*build)(const char*, char*, int)) {
    return CallGuarded(
        -1,
        [&] {
            Services().lastError[0] = '\0';
            OpenUtilitiesLog();
            int result = BufferUsable(service, buf, length) ? build(path, buf, length) : -1;
            FlushUtilitiesLog();
            return result;
        },
        [&] { ListsFailed(platform::Format("%s: Problem allocating memory.\n", service)); });
}

}  // namespace
}  // namespace tessin

TESSIN_API int ORVANE_CDECL GetParametersFromTMATS(const char* path, char* buf, int length) {
    return tessin::ListService("GetParametersFromTMATS", path, buf, length, tessin::ReleasedParameterList);
}

TESSIN_API int ORVANE_CDECL GetTMATSConfigInfo(const char* path, char* buf, int length) {
    return tessin::ListService("GetTMATSConfigInfo", path, buf, length, tessin::get_ch10_channel_list);
}

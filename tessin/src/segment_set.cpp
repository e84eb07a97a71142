// Segment sets: a recording split into files D.......000 to D.......999,
// read as one stream. The set always starts at segment 000 and ends before
// the first missing segment.
#include "segment_set.h"

#include <cerrno>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "input.h"
#include "platform/path.h"
#include "tessin_state.h"

namespace tessin::segments {
namespace {

constexpr std::size_t kPathRoom = 1024;  // paths of up to 1,023 characters

// Overwrites the base name's digits 5-7 with the segment number; only those
// three characters change.
void SetSegmentNumber(std::string& name, std::size_t base, int index) {
    name[base + 5] = static_cast<char>('0' + index / 100 % 10);
    name[base + 6] = static_cast<char>('0' + index / 10 % 10);
    name[base + 7] = static_cast<char>('0' + index % 10);
}

// A set of up to 1,000 segments needs as many descriptors; lift the soft
// limit once so that a long set is not cut short by it. Opens may come from
// any thread.
void RaiseDescriptorLimit() {
    static std::once_flag once;
    std::call_once(once, [] {
        rlimit lim{};
        if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur < lim.rlim_max) {
            lim.rlim_cur = lim.rlim_max;
            setrlimit(RLIMIT_NOFILE, &lim);
        }
    });
}

SegmentSet* Lookup(int handle) {
    int slot = handle - kSegmentSetHandleBase;
    if (slot < 0 || slot >= kSegmentSetSlots) return nullptr;
    return State().input.sets[static_cast<std::size_t>(slot)].get();
}

bool Readable(const std::string& name) { return ::access(name.c_str(), R_OK) == 0; }

int64_t SizeBefore(const SegmentSet& set, int index) {
    int64_t sum = 0;
    for (int i = 0; i < index; ++i) sum += set.sizes[static_cast<std::size_t>(i)];
    return sum;
}

// Positions the set at `target`: the first segment whose end lies beyond it.
// When none does, `moveToEnd` leaves the last segment at its end as current.
int64_t Walk(SegmentSet& set, int64_t target, bool moveToEnd) {
    int64_t start = 0;
    for (int i = 0; i < set.count; ++i) {
        int64_t size = set.sizes[static_cast<std::size_t>(i)];
        if (start + size > target) {
            if (::lseek(set.descriptors[static_cast<std::size_t>(i)], target - start, SEEK_SET) < 0) return -1;
            set.current = i;
            set.position = target;
            return target;
        }
        start += size;
    }
    if (moveToEnd) {
        int last = set.count - 1;
        off_t end = ::lseek(set.descriptors[static_cast<std::size_t>(last)], 0, SEEK_END);
        if (end >= 0) {
            set.current = last;
            set.position = SizeBefore(set, last) + end;
        }
    }
    return -1;
}

int ReadOnce(int fd, void* buffer, int count) {
    ssize_t r;
    do r = ::read(fd, buffer, static_cast<size_t>(count));
    while (r < 0 && errno == EINTR);
    return r < 0 ? -1 : static_cast<int>(r);
}

}  // namespace

int Open(std::string_view path) {
    if (path.size() >= kPathRoom || !IsSegmentSetName(path)) return -1;
    auto& sets = State().input.sets;
    int slot = -1;
    for (int s = 0; s < kSegmentSetSlots; ++s)
        if (!sets[static_cast<std::size_t>(s)]) {
            slot = s;
            break;
        }
    if (slot < 0) return -1;

    RaiseDescriptorLimit();
    auto set = std::make_unique<SegmentSet>();
    std::string name(path);
    std::size_t base = platform::BaseNameOffset(path);
    for (int i = 0; i < kMaxSegments; ++i) {
        SetSegmentNumber(name, base, i);
        if (!Readable(name)) break;
        int fd = OpenReadOnly(name.c_str());
        if (fd <= 0) break;
        int64_t size = DescriptorSize(fd);
        if (size < 0) {
            ::close(fd);
            break;
        }
        set->descriptors[static_cast<std::size_t>(i)] = fd;
        set->sizes[static_cast<std::size_t>(i)] = size;
        set->count = i + 1;
    }
    if (set->count == 0) return -1;
    sets[static_cast<std::size_t>(slot)] = std::move(set);
    return kSegmentSetHandleBase + slot;
}

int64_t Size(std::string_view path) {
    if (path.size() >= kPathRoom || !IsSegmentSetName(path)) return -1;
    std::string name(path);
    std::size_t base = platform::BaseNameOffset(path);
    int64_t sum = 0;
    for (int i = 0; i < kMaxSegments; ++i) {
        SetSegmentNumber(name, base, i);
        int fd = OpenReadOnly(name.c_str());
        if (fd < 0) break;
        int64_t size = DescriptorSize(fd);
        ::close(fd);
        if (size < 0) break;
        sum += size;
    }
    return sum > 0 ? sum : -1;
}

int64_t Goto(int handle, int64_t offset, int origin) {
    SegmentSet* set = Lookup(handle);
    if (!set) return -1;
    std::size_t cur = static_cast<std::size_t>(set->current);
    off_t within = ::lseek(set->descriptors[cur], 0, SEEK_CUR);
    if (within >= 0) set->position = SizeBefore(*set, set->current) + within;

    if (offset == 0 && origin != 2) {
        if (::lseek(set->descriptors[0], 0, SEEK_SET) < 0) return -1;
        set->current = 0;
        set->position = 0;
        return 0;
    }
    if (offset == 0) {  // origin 2: the end of the last segment
        int last = set->count - 1;
        off_t end = ::lseek(set->descriptors[static_cast<std::size_t>(last)], 0, SEEK_END);
        if (end < 0) return -1;
        set->current = last;
        set->position = SizeBefore(*set, last) + end;
        return set->position;
    }
    if (offset > 0) return Walk(*set, offset, true);
    if (origin != 1) return -1;
    int64_t target = set->position + offset;
    if (target < 0) return -1;
    return Walk(*set, target, false);
}

int Read(int handle, void* buffer, int count) {
    SegmentSet* set = Lookup(handle);
    if (!set) return -1;
    char* out = static_cast<char*>(buffer);
    int gathered = 0;
    for (;;) {
        int r = ReadOnce(set->descriptors[static_cast<std::size_t>(set->current)], out + gathered,
                         count - gathered);
        if (r < 0) return gathered > 0 ? gathered : -1;
        gathered += r;
        if (gathered == count || set->current + 1 >= set->count) return gathered;
        int next = set->current + 1;
        if (::lseek(set->descriptors[static_cast<std::size_t>(next)], 0, SEEK_SET) < 0)
            return gathered > 0 ? gathered : -1;
        set->current = next;
        if (gathered > 0) {  // at most one further segment per call
            int more = ReadOnce(set->descriptors[static_cast<std::size_t>(next)], out + gathered,
                                count - gathered);
            return more < 0 ? gathered : gathered + more;
        }
        // Nothing gathered yet: an empty segment, go on to the next.
    }
}

void Close(int handle) {
    int slot = handle - kSegmentSetHandleBase;
    if (slot < 0 || slot >= kSegmentSetSlots) return;
    auto& entry = State().input.sets[static_cast<std::size_t>(slot)];
    if (!entry) return;
    for (int i = 0; i < entry->count; ++i)
        if (entry->descriptors[static_cast<std::size_t>(i)] > 0) ::close(entry->descriptors[static_cast<std::size_t>(i)]);
    entry.reset();
}

}  // namespace tessin::segments

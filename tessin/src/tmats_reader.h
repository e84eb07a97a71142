#pragma once
// TMATS source files for the services: the one text buffer, its attributes
// resolved through the attribute dictionary and sorted, and the utilities log.
#include <cstdint>
#include <string_view>

namespace tessin {

// One row of the attribute dictionary.
struct DictionaryRow {
    const char* key;  // group letter + code: "PMF2", "BNBS\\N"
    uint16_t level;
    uint16_t id;
};

constexpr int kDictionaryRows = 341;
constexpr std::size_t kDictionaryKeySize = 34;  // 32 code characters behind the letter

// One kept attribute; code and value point into the text buffer.
struct TmatsEntry {
    char letter = 0;
    uint16_t level = 0;
    uint16_t id = 0;
    int32_t group = 0;
    uint16_t index[5] = {};
    const char* code = nullptr;
    const char* value = nullptr;
};

// The group ranges kept after a sort, in this order.
enum class ServiceGroup { B, C, D, G, P, R };
constexpr char kServiceGroupLetters[] = {'B', 'C', 'D', 'G', 'P', 'R'};

// The rows in stored order (ids are positions within a group).
const DictionaryRow* DictionaryRows();

int compare_dictionary_code(const char* a, const char* b);
int compare_attribute_entries(const TmatsEntry& a, const TmatsEntry& b);
// Sets the entry's level and id from the row of `key`; the id, or -1.
int lookup_attribute_dictionary(TmatsEntry& entry, const char* key);

// 0, or -1 with a utilities-log line.
int ReadTMATS(const char* path, int sort);
int sort_tmats_attributes(char* text, int length);
// Parses one zero-terminated attribute into the next entry, kept or dropped.
void parse_tmats_attribute(char* attribute);
// Releases the text buffer, the entries and every range; safe to repeat.
void free_tmats_buffer();

// The entries of one group (pointer and count; count 0 when absent).
struct EntryRange {
    const TmatsEntry* first = nullptr;
    int32_t count = 0;
    const TmatsEntry* begin() const { return first; }
    const TmatsEntry* end() const { return first + count; }
};
EntryRange GroupEntries(ServiceGroup group);

// The utilities log: opened "w+" by a service call when not open, kept open
// until the module reset. Messages are dropped while it is closed.
void OpenUtilitiesLog();
void UtilitiesLog(std::string_view text);
void UtilitiesLogF(const char* format, ...) __attribute__((format(printf, 1, 2)));
void FlushUtilitiesLog();

}  // namespace tessin

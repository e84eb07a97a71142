#include "vexa/ui/open_files_lists.h"

#include "ch10/data_type.h"
#include "platform/format.h"
#include "platform/numbers.h"
#include "vexa/engine/data_type_table.h"

namespace vexa {

std::vector<std::string> ChannelEntries(const CHAN_INFO* info) {
    std::vector<std::string> entries{kAllChannelsEntry};
    if (info == nullptr || info->Channels == nullptr) return entries;
    for (int i = 0; i < info->ChannelCount; ++i) {
        const CHAN_ENTRY& c = info->Channels[i];
        if (c.Enable == 0 || c.DataType <= ch10::Code(ch10::DataType::ComputerF1)) continue;
        const DataTypeRow* row = FindDataTypeRow(c.DataType);
        if (row == nullptr) continue;
        entries.push_back(platform::Format("%s%d) %s", c.ChannelID < 10 ? "  " : "", static_cast<int>(c.ChannelID),
                                           row->name));
    }
    return entries;
}

namespace {
// The next blank-ended word at `at`, and `at` moved past its blank.
std::string_view NextWord(std::string_view text, std::size_t& at) {
    if (at >= text.size()) return {};
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view word = text.substr(at, end - at);
    at = end < text.size() ? end + 1 : end;
    return word;
}
}  // namespace

std::vector<RecorderDriveEntry> RecorderDriveEntries(std::string_view drives, std::string_view volumes) {
    std::vector<RecorderDriveEntry> out;
    std::size_t d = 0, v = 0;
    while (d < drives.size()) {
        std::string_view number = NextWord(drives, d);
        std::string volume(NextWord(volumes, v));
        if (number.empty()) continue;
        const int n = platform::DecimalToInt(std::string(number));
        if (n <= 0) continue;
        out.push_back({n, platform::Format("%d:  %s", n, volume.c_str())});
    }
    return out;
}

std::vector<std::string> RecorderFileNames(std::string_view list, std::size_t maxFiles) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < list.size() && names.size() < maxFiles) {
        std::size_t end = list.find(',', at);
        if (end == std::string_view::npos) break;  // a name without its "," is cut off
        names.emplace_back(list.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

}  // namespace vexa

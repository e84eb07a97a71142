#include "vexa/ui/channel_sheet.h"

#include <cstring>

#include "platform/format.h"
#include "vexa/engine/data_type_table.h"

namespace vexa {
namespace {

const PCM_CHAN_INFO* FindPcmRecord(const CHAN_INFO& info, uint16_t channelId) {
    if (info.PcmChannels == nullptr) return nullptr;
    for (int i = 0; i < info.PcmCount; ++i)
        if (info.PcmChannels[i].ChannelID == channelId) return &info.PcmChannels[i];
    return nullptr;
}

const char* DataModeText(int16_t mode) {
    switch (mode) {
        case 1: return "Unpacked";
        case 2: return "Packed";
        case 3: return "Throughput";
        default: return "";  // no mode the sheet can name: an empty cell
    }
}

void Cell(SheetCalls& sheet, int column, const std::string& text) {
    sheet.SetCol(column);
    sheet.SetText(text);
}

void PcmCells(SheetCalls& sheet, const PCM_CHAN_INFO& pcm) {
    // The name field need not hold its NUL.
    Cell(sheet, 3, std::string(pcm.DataLinkName, strnlen(pcm.DataLinkName, sizeof pcm.DataLinkName)));
    Cell(sheet, 4, platform::Format("%d", static_cast<int>(pcm.BitRate)));
    Cell(sheet, 5, pcm.PolarityInverted != 0 ? "Inverted" : "Normal");
    Cell(sheet, 6, pcm.D9Inverted != 0 ? "Inverted" : "Normal");
    Cell(sheet, 7, platform::Format("%d", static_cast<int>(pcm.WordLength)));
    Cell(sheet, 8, pcm.LsbFirst != 0 ? "LSB First" : "MSB First");
    Cell(sheet, 9, platform::Format("%d", static_cast<int>(pcm.NumFrames)));
    Cell(sheet, 10, platform::Format("%d", static_cast<int>(pcm.NumWords)));
    Cell(sheet, 11, DataModeText(pcm.DataMode));
}

}  // namespace

int EnabledChannelCount(const CHAN_INFO* info) {
    if (info == nullptr || info->Channels == nullptr || info->ChannelCount <= 0) return 0;
    int count = 0;
    for (int i = 0; i < info->ChannelCount; ++i)
        if (info->Channels[i].Enable != 0) ++count;
    return count;
}

void FillChannelSheet(const CHAN_INFO* info, SheetCalls& sheet) {
    sheet.SetMaxRows(EnabledChannelCount(info));
    if (info == nullptr || info->Channels == nullptr || info->ChannelCount <= 0) return;
    int row = 0;
    for (int i = 0; i < info->ChannelCount; ++i) {
        const CHAN_ENTRY& entry = info->Channels[i];
        if (entry.Enable == 0) continue;
        sheet.SetRow(++row);
        Cell(sheet, 1, platform::Format("%u", static_cast<unsigned>(entry.ChannelID)));
        // The table's own rows only: a code it lacks leaves the cell empty.
        if (const DataTypeRow* type = FindDataTypeRow(entry.DataType)) Cell(sheet, 2, type->name);
        if (const PCM_CHAN_INFO* pcm = FindPcmRecord(*info, entry.ChannelID)) PcmCells(sheet, *pcm);
    }
}

}  // namespace vexa

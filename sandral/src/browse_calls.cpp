// The eight browse exports an outside viewer calls, one thread at a time.
#include <algorithm>
#include <cstring>
#include <string>

#include "average_scan.h"
#include "browse_request.h"
#include "browse_text.h"
#include "header_test.h"
#include "platform/numbers.h"
#include "player.h"
#include "sandral.h"
#include "sandral_state.h"
#include "time_reference.h"
#include "time_seek.h"
#include "tmats_text.h"

using namespace sandral;

namespace {

const char* Text(const char* t) { return t ? t : ""; }

void CopyOut(char* buffer, std::size_t capacity, const std::string& text) {
    if (!buffer) return;
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

}  // namespace

SANDRAL_API int ORVANE_STDCALL Ch10GetChannelList(const char* path, char* list) {
    JoinReadAhead();
    BrowseState& b = State().browse;
    b.fileSize = State().input->Size(Text(path), 0);
    close_input();
    b.recordingPath = Text(path);
    char message[80] = "";
    const CHAN_INFO* record = LoadTmatsRecord(0, b.recordingPath.c_str(), message);
    SetGroupBits(record);
    // The references belong to the recording this one replaces.
    ClearTimeReferenceFlags();
    if (record && list) {
        std::memset(list, 0, SANDRAL_CHANNEL_LIST_SIZE);
        CopyOut(list, SANDRAL_CHANNEL_LIST_SIZE, ChannelListText(*record, SANDRAL_CHANNEL_LIST_SIZE - 1));
    }
    close_input();
    b.reopenPending = true;
    b.averagePacketSize = average_packet_size(-1);
    return 0;
}

SANDRAL_API int ORVANE_STDCALL Ch10AveragePacketSize(const char* channel) {
    JoinReadAhead();
    State().browse.averagePacketSize = average_packet_size(ChannelArgument(channel));
    return 0;
}

SANDRAL_API int ORVANE_STDCALL Ch10PositionOffset(const char* path, const char* hexOffset) {
    JoinReadAhead();
    BrowseState& b = State().browse;
    close_input();
    b.reopenPending = true;
    b.lastSkip = b.lastCount = b.lastChannel = 0;
    b.recordingPath = Text(path);
    const uint64_t offset = parse_hex_offset(hexOffset);
    // Offsets are unsigned: a top bit set lies past any end.
    if (b.fileSize > 0 && offset < static_cast<uint64_t>(b.fileSize))
        b.startOffset = static_cast<int64_t>(offset & ~uint64_t{7});
    else
        b.startOffset = b.fileSize;
    ZADODOD_Open(b.recordingPath.c_str(), 0, &State().player.own);
    State().stepping.slotInProgress = false;
    return 0;
}

SANDRAL_API int ORVANE_STDCALL Ch10GetNextPacket(const char* channel, const char* outName, const char* count) {
    JoinReadAhead();
    BrowseState& b = State().browse;
    b.requestMode = 0;
    b.skipCount = 0;
    b.packetCount = platform::DecimalToInt(Text(count));
    b.channelFilter = ChannelArgument(channel);
    if (!OpenBrowseOutput(outName)) return 1;
    const int result = RunDecode();
    if (!b.outputFileName.empty()) CloseBrowseOutput();
    else b.outputStream.Flush();
    if (result == 2) b.firstPrintedOffset = b.fileSize;
    if (b.firstPrintedOffset == 0) b.firstPrintedOffset = 4;
    return result;
}

SANDRAL_API int ORVANE_STDCALL Ch10GetPacket(const char* channel, const char* mode, const char* skip,
                                             const char* outName, const char* count) {
    JoinReadAhead();
    return GetPacket(PacketRequest{Text(channel), Text(mode), Text(skip), Text(outName), Text(count)});
}

SANDRAL_API int ORVANE_STDCALL Ch10GetSliderOffset(const char* percent, char* offset) {
    const int64_t value = SliderOffset(platform::DecimalToInt(Text(percent)), State().browse.fileSize);
    CopyOut(offset, SANDRAL_OFFSET_TEXT_SIZE, HexOffsetText(value));
    return 0;
}

SANDRAL_API int ORVANE_STDCALL Ch10GetSliderValue(char* percent) {
    const BrowseState& b = State().browse;
    CopyOut(percent, SANDRAL_PERCENT_TEXT_SIZE, std::to_string(SliderValue(b.lastPrintedOffset, b.fileSize)));
    return 0;
}

SANDRAL_API int ORVANE_STDCALL Ch10GoToTime(const char* path, const char* time, char* offset) {
    JoinReadAhead();
    int64_t found = 0;
    if (get_ch10_time_offset(Text(path), TimeTextToUsec(time), &found) != 0) return 1;
    CopyOut(offset, SANDRAL_OFFSET_TEXT_SIZE, HexOffsetText(found));
    return 0;
}

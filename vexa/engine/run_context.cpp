#include "vexa/engine/run_context.h"

namespace vexa {

StreamEnv& RunContext::StreamEnvironment() {
    env_.spaceDelimited = SpaceDelimited();
    env_.selectedChannel = runConfig.selectedChannel;
    env_.runPacketCount = runPacketCount;
    env_.tmatsTextPath = runConfig.tmatsTextPath;
    if (env_.rtcStep) env_.rtcStep = nullptr;
    return env_;
}

void RunContext::SetTmatsChannels(const CHAN_INFO* info) {
    // Every channel entry counts for the TMATS checks, also past the
    // channel table's room.
    tmatsChannels = TmatsChannels{};
    if (!info) return;
    tmatsChannels.eventsEnabled = info->EventsEnabled != 0;
    tmatsChannels.indexEnabled = info->IndexEnabled != 0;
    if (!info->Channels || info->ChannelCount <= 0) return;
    tmatsChannels.entries.reserve(static_cast<std::size_t>(info->ChannelCount));
    for (int i = 0; i < info->ChannelCount; ++i)
        tmatsChannels.entries.push_back(
            {info->Channels[i].DataType, info->Channels[i].ChannelID, info->Channels[i].Enable});
}

}  // namespace vexa

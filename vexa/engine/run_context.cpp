#include "vexa/engine/run_context.h"

namespace vexa {

StreamEnv RunContext::StreamEnvironment() {
    StreamEnv env{errors, tmatsChannels, host};
    env.outputs = &outputs;
    env.listingNamesLock = &outputs.namesLock;
    env.spaceDelimited = SpaceDelimited();
    env.selectedChannel = runConfig.selectedChannel;
    env.runPacketCount = runPacketCount;
    env.tmatsTextPath = runConfig.tmatsTextPath;
    env.display = &display;
    env.noteWritten = noteWritten;
    return env;
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

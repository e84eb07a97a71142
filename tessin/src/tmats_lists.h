#pragma once
// Short text views of a TMATS file for outside programs: the measurand list
// and the recorder channel list.
#include "tessin.h"

namespace tessin {

// The type word of a channel, in the library-wide 32-character buffer.
// `info` decides "CH8" for a PCM channel; NULL gives "CH4".
const char* channel_type_name(int channelId, int dataType, const CHAN_INFO* info);

// The channel list of `info` written into buf (never past length, which
// must be at least 1); the characters written.
int BuildChannelList(const CHAN_INFO& info, char* buf, int length);

int get_ch10_channel_list(const char* path, char* buf, int length);

}  // namespace tessin

#include "tessin_state.h"

#include <unistd.h>

#include "quillon.h"
#include "tmats_attributes.h"

namespace tessin {

TessinState& State() {
    static TessinState state;
    return state;
}

void ResetStateForTests() {
    InputState& in = State().input;
    for (auto& set : in.sets) {
        if (!set) continue;
        for (int i = 0; i < set->count; ++i)
            if (set->descriptors[i] > 0) ::close(set->descriptors[i]);
        set.reset();
    }
    for (int fd = 0; fd < kPlainDescriptorLimit; ++fd)
        if (in.ownDescriptors.test(fd)) ::close(fd);
    in.ownDescriptors.reset();
    if (in.selector > 100) CloseSTANAGDrive();
    in.recorder = RecorderInput{};
    in.selector = -1;
    in.cachedSize = -1;

    TmatsState& tm = State().tmats;
    free_tmats_attributes();
    tm.current = nullptr;
    tm.log.Close();

    State().services.Reset();
}

void ReleaseTmatsRecordsForTests() {
    State().tmats.current = nullptr;
    State().tmats.records.Get().clear();
}

}  // namespace tessin

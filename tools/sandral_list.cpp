// sandral-list [-o FILE] [-n COUNT] RECORDING: lists a recording's packets
// through sandral's stepping and printers, as the viewer would see them:
// the TMATS table, then COUNT packets (default all) to FILE or standard
// output.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sandral.h"
#include "sandral_state.h"
#include "stepping.h"
#include "time_reference.h"
#include "tmats_text.h"
#include "tool_usage.h"

namespace {

const char kUsage[] = "usage: sandral-list [-o FILE] [-n COUNT] RECORDING\n";

int Usage() { return tools::ShowUsage(kUsage, false); }

}  // namespace

int main(int argc, char** argv) {
    if (tools::HelpAsked(argc, argv)) return tools::ShowUsage(kUsage, true);
    std::string output;
    std::string recording;
    int count = INT_MAX;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) output = argv[++i];
        else if (std::strcmp(argv[i], "-n") == 0 && i + 1 < argc) count = std::atoi(argv[++i]);
        else if (argv[i][0] == '-' || !recording.empty()) return Usage();
        else recording = argv[i];
    }
    if (recording.empty()) return Usage();

    sandral::BrowseState& b = sandral::State().browse;
    b.recordingPath = recording;
    b.fileSize = iSize(recording.c_str(), 0);
    char message[80] = "";
    const CHAN_INFO* record = IRIG107_get_contents(0, recording.c_str(), message);
    sandral::SetGroupBits(record);
    b.outputFileName = output;
    if (output.empty()) {
        b.outputStream.UseStdout();
    } else if (!b.outputStream.OpenFile(output)) {
        std::fprintf(stderr, "sandral-list: cannot create %s\n", output.c_str());
        return 1;
    }
    if (record) sandral::print_tmats_table(b.outputStream, recording, record);
    b.channelFilter = -1;
    b.skipCount = 0;
    b.packetCount = count;
    b.startOffset = 0;
    PlayerStatus status{};
    ZADODOD_Open(recording.c_str(), 0, &status);
    if (status.error) {
        b.outputStream.Close();
        std::fprintf(stderr, "sandral-list: %s: %s\n", recording.c_str(), status.errorText);
        return 1;
    }
    sandral::run_decode_loop();
    b.outputStream.Close();
    ZADODOD_Close();
    return 0;
}

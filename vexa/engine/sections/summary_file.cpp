// The summary file, written by the finish path while the log is still open.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/run_context.h"

namespace vexa {

int WriteSummaryFile(RunContext& run, const SummarySources& sources) {
    RunOutputs& outputs = run.outputs;
    // A second finish of the same run finds the log closed: nothing to say.
    if (!outputs.outputHandle.IsOpen()) return 0;
    const CRunConfig& config = run.runConfig;
    const StreamRulesState& stream = run.streamRules;
    const std::string text = BuildSummaryText({.sourcePath = config.sourcePath,
                                               .now = sources.now,
                                               .selectedChannel = config.selectedChannel,
                                               .timeChannelSlot = stream.timeChannelSlot,
                                               .channelIds = sources.channelIds,
                                               .slots = stream.slots,
                                               .bus = sources.bus,
                                               .startTime = sources.startTime,
                                               .endTime = sources.endTime,
                                               .totalDataLength = stream.totalDataLength,
                                               .totalPacketLength = stream.totalPacketLength,
                                               .errors = run.errors});
    if (config.summaryPath.empty()) return 0;
    outputs.summaryHandle = platform::OutputFile::Open(config.summaryPath);
    if (!outputs.summaryHandle.IsOpen()) {
        run.host.PostMessageBox("Error on opening summary file");
        outputs.NoteFailed(config.summaryPath, true);
        return -1;
    }
    // A refused write marks the handle: the finish path lists the summary as failed.
    return outputs.summaryHandle.WriteAll(text) ? 0 : -1;
}

void ResetSummarySection(RunContext&, NoState&) {}

}  // namespace vexa

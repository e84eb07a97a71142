#pragma once
// The files a run writes its findings to: the validation log (output file),
// the "TMATS" error-line file of the Space Delimited format and one compact
// listing file per channel slot.
#include <array>
#include <atomic>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "vexa/engine/engine_host.h"
#include "platform/output_file.h"

namespace vexa {

constexpr int kListingSlots = 256;

struct OutputOpenRequest {
    std::string outputPath;
    std::string sourcePath;
    std::string tmatsLogPath;  // the temporary TMATS validation log; may be empty
    bool spaceDelimited = false;
    std::string title;  // the main window's title text
    std::function<std::time_t()> clock;  // empty: the system clock
};

// An output of the run that could not be opened or written whole.
struct FailedOutput {
    std::string path;
    bool reported = false;  // its failure already showed a message of its own
};

struct RunOutputs {
    platform::OutputFile outputHandle;
    platform::OutputFile errorLineHandle;  // Space Delimited only; Verbose writes to outputHandle
    platform::OutputFile summaryHandle;  // set by the summary at the run's end
    std::array<platform::OutputFile, kListingSlots> listingHandles;
    std::array<std::string, kListingSlots + 1> listingNames;  // 256: the "TMATS" file
    // Guards listingNames while a run's processor may change them.
    mutable std::mutex namesLock;
    std::array<bool, kListingSlots> listingFailed{};  // its listing could not be created
    std::string outputPath;  // listing names are built from it
    // The header or the TMATS-log copy could not be written: a log that
    // lacks them must not be filled as if it were whole, so the run's
    // processor ends at once. Cleared by Close.
    std::atomic<bool> headerFailed{false};
    // Told of every output that could not be opened or written whole; any
    // thread. Set by the run controller.
    std::function<void(const FailedOutput&)> noteFailed;
    void NoteFailed(const std::string& path, bool reported) const {
        if (noteFailed) noteFailed({path, reported});
    }

    // Opens the output file (and in Space Delimited the "TMATS" file) and
    // writes the log header. Files that cannot be opened are shown through
    // `host` and the run goes on with whatever is open; a failed write of
    // the header or the copy sets `headerFailed`.
    void OpenOutputFiles(const OutputOpenRequest& request, EngineHost& host);

    // Writes a finding line at once: to the "TMATS" file when
    // `spaceDelimited`, else to the output file. A target that is not open
    // is skipped and counts as written.
    bool WriteLogLine(std::string_view text, bool spaceDelimited);

    // Writes to the output file (the body checks' Verbose text, the PCM
    // attribute warning). False only for a failed write on an open file.
    bool WriteOutput(std::string_view text) { return !outputHandle.IsOpen() || outputHandle.WriteAll(text); }

    // The slot's compact listing file, opened at its first row. Nullptr when
    // it could not be created (shown once through `host`, then marked failed).
    platform::OutputFile* ListingFile(int slot, uint32_t channelId, EngineHost& host);

    // Closes every file of the run. The names stay for the viewers.
    void Close();
};

}  // namespace vexa

#pragma once
// The validation engine of one main view: the run configuration, the TMATS
// acquisition, the reader and processor threads of a run, the frame that
// finds and checks packets, and what the form shows. Every handler runs on
// the user-interface thread unless it says otherwise; the workers reach the
// user interface only through posts to the host.
#include <array>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "vexa/engine/display_state.h"
#include "vexa/engine/engine_host.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/header_checks.h"
#include "vexa/engine/packet_context.h"
#include "vexa/engine/packet_listing.h"
#include "vexa/engine/recording_input.h"
#include "vexa/engine/run_config.h"
#include "vexa/engine/run_outputs.h"
#include "vexa/engine/stream_rules.h"
#include "vexa/engine/stream_state.h"
#include "vexa/engine/tmats_acquisition.h"

namespace vexa {

constexpr int kChannelTableSize = 256;

// The Open Files dialog's texts at OK. The dialog's other choices (source
// kind, channel, options, limits) are already in the configuration and the
// engine settings.
struct OpenFilesTexts {
    std::string tmats = kUseInternalTmats;
    std::string sourceFile;  // single-file run
    std::string sourceDir;   // directory run
    std::string outputDir;
    std::string outputFile = "validate.log";
};

// What the processor does with one filled buffer.
enum class BufferOutcome {
    NeedData,         // validated to its end; the partial packet is carried over
    EndOfData,        // the reader found the end
    ReaderFailed,     // the reader could not take the buffer
    ReadFailed,       // a failed read, or a count the work area cannot take
    ValidatorFailed,  // a write of the validation output failed
    Stopped,          // the run flag was cleared while validating
};

class ValidationEngine {
public:
    explicit ValidationEngine(EngineHost& host, RecordingInput& input = LibraryInput());
    // Ends a live run as Close does, joins its threads and deletes the
    // temporary TMATS log.
    ~ValidationEngine();
    ValidationEngine(const ValidationEngine&) = delete;
    ValidationEngine& operator=(const ValidationEngine&) = delete;

    // --- configuration and settings (set before Open, as the dialog does)
    CRunConfig runConfig;
    std::atomic<int> timePacketTolerance{5};
    std::atomic<int> intraPacketTolerance{5};
    // The clock of the log header; empty for the system clock (tests fix it).
    std::function<std::time_t()> clock;

    // --- user-interface entries ------------------------------------------
    // The widget-free part of the Open Files dialog's OK: acquisition,
    // channel table, source scan, input, output names and files. False
    // when a check failed (its box is posted); nothing is started.
    bool OpenFilesOk(const OpenFilesTexts& texts);
    // The Open command after the dialog's OK: shows the run and starts the
    // reader (validation waits for Validate).
    void OnOpenFiles();
    // Open as a whole: a live run is closed first; on a failed OK no files
    // stay open.
    bool OpenFiles(const OpenFilesTexts& texts);
    void Validate();         // the Validate button
    void StartValidation();  // acts only while idle with files open
    void Stop();             // the Stop button
    void CloseFiles();       // the Close command
    void ResetCounters();    // the Reset button
    DisplaySnapshot Snapshot() const { return display.Snapshot(Errors()); }
    // The output files the run has written so far, in the order they were
    // finished, each once.
    std::vector<std::string> OutputsWritten() const;
    // Sections that write a file of their own (summary, TMATS content file)
    // note it here.
    void NoteWritten(const std::string& path);

    // The finish path; any thread.
    void FinishRun();

    // --- state the check sections share ----------------------------------
    EngineHost& Host() { return host_; }
    ErrorAccounting& Errors() { return shared_.errors; }
    const ErrorAccounting& Errors() const { return shared_.errors; }
    RunOutputs& Outputs() { return outputs_; }
    TmatsAcquisition& Tmats() { return tmats_; }
    const CHAN_INFO* TmatsInfo() const { return tmatsInfo_; }
    // The channels of the file's TMATS as the checks read them (none, with
    // events and index off, without a channel record).
    const TmatsChannels& TmatsChannelList() const { return tmatsChannels_; }
    // Stream, setup-record, index and data-type rules (processor thread).
    StreamRulesState streamRules;
    // What those rules need of the run, for the packet being validated.
    StreamEnv StreamEnvironment();
    DisplayState display;
    CStreamState streamState;
    HeaderSectionState headerSection;
    // Filled by the frame for every packet, completed by the sections, read
    // by the listing step.
    PacketListingInput listingInput;
    bool SpaceDelimited() const { return shared_.spaceDelimited.load(std::memory_order_relaxed); }
    bool WriteLogLine(std::string_view text) { return outputs_.WriteLogLine(text, SpaceDelimited()); }

    // --- the frame (processor thread) ------------------------------------
    int ValidateNextPacket();
    // Channel 0 at slot 0, then the TMATS channels in record order (at most
    // 255), enabled or not; also the TMATS channel list the checks read.
    void PrefillChannelTable(const CHAN_INFO* info);
    void ResetValidationState();
    uint64_t PacketOffset() const { return packetOffset_; }
    // Packets of the file accepted so far, the current one included.
    uint64_t RunPacketCount() const { return runPacketCount_; }
    // Slot of the last packet accepted.
    int LastPacketSlot() const { return lastPacketSlot_; }
    int ChannelSlot() const { return channelSlot_; }
    int ChannelGroup() const { return channelGroup_; }
    int ChannelTableCount() const { return channelTableCount_; }
    uint32_t ChannelAt(int slot) const { return channelTable_[static_cast<std::size_t>(slot)]; }
    bool ChannelSeen(int slot) const { return channelSeen_[static_cast<std::size_t>(slot)]; }
    int SecondaryHeaderLength() const { return secondaryHeaderLength_; }
    bool OfInterest(uint16_t channelId, uint8_t dataType) const;

    // The processor's append-and-validate step for one buffer: what the
    // thread does with it and what the frame tests drive. `release` hands
    // the buffer back to the reader once it is copied.
    BufferOutcome AppendAndValidate(int status, int count, const uint8_t* buffer,
                                    const std::function<void()>& release);
    uint32_t CarryOver() const { return carryOver_; }
    // Back to an empty work area with the run flag set (frame tests).
    void BeginFrameTest();

    int FilesValidated() const { return filesValidated_.load(); }
    // Tests: both threads of the current file have returned.
    bool WorkersDoneForTests() const;
    // Tests: a validator in place of the frame.
    void SetValidatorForTests(std::function<int(ValidationEngine&)> validator) { validator_ = std::move(validator); }
    // Tests: told of every run hook as it is called, on whatever thread
    // calls it. Set before Open.
    enum class RunHook { IndexSetup, IndexAtEnd, Summary };
    void SetRunHookProbeForTests(std::function<void(RunHook)> probe) { runHookProbe_ = std::move(probe); }

private:
    struct FileRun;

    // Threads.
    void ReaderThread(FileRun& run);
    void ProcessorThread(FileRun& run);
    void OnProcessingEnded();
    void OnValidationCompleted(FileRun& run);
    void OnValidateNextFile(uint64_t generation, int index, const std::string& path, int handle);
    void CloseRunFiles();
    void StartFileRun(bool resumeProcessor);
    void JoinFinishedRuns();
    void EndLiveRun();
    std::shared_ptr<FileRun> CurrentRun() const;

    // Helpers.
    void PostToUi(std::function<void()> fn);
    void PostRunEnd(uint64_t generation, bool completed);
    void PostBox(std::string text, std::string caption, BoxIcon icon);
    void ShowRunStatus();
    bool OpenRunOutputs();
    void NoteQuietEnd(const char* text);
    int Frame();
    int CarryFrom(uint32_t pos);
    int ConsumeAndReturn(uint32_t pos, uint32_t packetLength);

    EngineHost& host_;
    RecordingInput& input_;
    EngineState& shared_;
    RunOutputs outputs_;
    TmatsAcquisition tmats_;
    CHAN_INFO* tmatsInfo_ = nullptr;
    TmatsChannels tmatsChannels_;
    std::shared_ptr<char> alive_;

    // Run control, shared by the threads.
    std::atomic<int> runFlag_{0};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> continueWithNextFile_{false};
    std::atomic<uint64_t> generation_{0};
    std::atomic<int> filesValidated_{0};
    mutable std::mutex runMutex_;
    std::shared_ptr<FileRun> currentRun_;
    std::vector<std::shared_ptr<FileRun>> finishedRuns_;
    // The next file's input from the reader's post until OnValidateNextFile
    // takes it; a run that ends first closes it with no worker running.
    std::mutex pendingMutex_;
    int pendingNextHandle_ = -1;
    uint64_t pendingGeneration_ = 0;
    bool TakePendingHandle(uint64_t generation, int handle);
    void ClosePendingHandle();
    std::mutex quietMutex_;
    std::string quietEnd_;
    mutable std::mutex writtenMutex_;
    std::vector<std::string> written_;


    // The hand-over of the two read buffers (each guarded by its events).
    std::atomic<int> bufferStatus_[2] = {0, 0};
    std::atomic<int> bufferBytes_[2] = {0, 0};
    int readerIndex_ = 0;
    int processorIndex_ = 0;
    int lastBufferBytes_ = 0;
    std::atomic<int> readSize_{static_cast<int>(kReadBufferSize)};

    // The work area (processor thread).
    uint32_t workBytes_ = 0;
    uint32_t workPos_ = 0;
    uint32_t carryOver_ = 0;
    bool workPending_ = false;

    // The frame (processor thread).
    uint64_t packetOffset_ = 0;
    uint64_t runPacketCount_ = 0;
    int lastPacketSlot_ = 0;
    std::array<uint32_t, kChannelTableSize> channelTable_{};
    std::vector<int16_t> slotOfChannel_;  // 65536 entries, -1 when not in the table
    int channelTableCount_ = 0;
    int channelSlot_ = 0;
    int channelGroup_ = 0;
    int secondaryHeaderLength_ = 0;
    std::array<bool, kChannelTableSize> channelSeen_{};
    std::string packetFindings_;
    std::string checksumText_;

    std::function<int(ValidationEngine&)> validator_;
    std::function<void(RunHook)> runHookProbe_;
    void Probe(RunHook hook) const {
        if (runHookProbe_) runHookProbe_(hook);
    }
};

}  // namespace vexa

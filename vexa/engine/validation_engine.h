#pragma once
// The run controller of one main view: the user-interface entries, the run
// configuration and TMATS acquisition, the reader and processor threads of a
// run and their hand-over, run control and the outputs written. The frame
// finds and checks the packets; the sections see only the run context. Every handler runs on
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

#include "vexa/engine/body_checks.h"
#include "vexa/engine/display_state.h"
#include "vexa/engine/engine_host.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/run_config.h"
#include "vexa/engine/run_context.h"
#include "vexa/engine/run_outputs.h"
#include "vexa/engine/stream_state.h"
#include "vexa/engine/tmats_acquisition.h"
#include "tessin/recording_input.h"

namespace vexa {

class Frame;

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

// Which check of the Open Files OK failed; the dialog puts the focus by it.
enum class OpenFilesFailure { None, TmatsMissing, NoChannelInfo, EmptySource, BadDirectory, SourceNotFound };

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
    explicit ValidationEngine(EngineHost& host, tessin::RecordingInput& input = tessin::LibraryInput());
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
    bool OpenFilesOk(const OpenFilesTexts& texts, OpenFilesFailure* failure = nullptr);
    // The dialog's channel-list acquisition for `runConfig.sourcePath`: the
    // record (NULL too) becomes TmatsInfo(); on success the channel table,
    // the stream rules and the version text follow it. NULL with the reason
    // in `message`; nothing is shown.
    const CHAN_INFO* AcquireChannelList(const std::string& prefix, std::string* message);
    // The Channel Details dialog's reading of `path`'s TMATS, with the
    // current TMATS choice and kind: its result, NULL too, becomes
    // TmatsInfo(). UI thread, between runs.
    const CHAN_INFO* ReadChannelDetails(const std::string& path, std::string* message);
    // The Open command after the dialog's OK: shows the run and starts the
    // reader (validation waits for Validate).
    void OnOpenFiles();
    // Open as a whole: a live run is closed first; on a failed OK no files
    // stay open.
    bool OpenFiles(const OpenFilesTexts& texts);
    // Open's two halves around the dialog: the first ends a live run as
    // Close does and joins it, then starts a new generation with no outputs
    // written and no quiet end; the second is the dialog's Cancel.
    void BeginOpen();
    void CancelOpen();
    // The state of the read hand-over and the frame, zeroed as at start.
    void ResetValidationState();
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
    // note it here. A file that failed in this run is never noted.
    void NoteWritten(const std::string& path);
    // The outputs that could not be opened or written whole (write or
    // close refused), in the order they failed, each once; none of them is
    // among OutputsWritten.
    std::vector<FailedOutput> OutputsFailed() const;
    void NoteFailed(const FailedOutput& failed);

    // The finish path; any thread.
    void FinishRun();

    // --- what the window reads ---------------------------------------------
    EngineHost& Host() { return host_; }
    ErrorAccounting& Errors() { return shared_.errors; }
    const ErrorAccounting& Errors() const { return shared_.errors; }
    RunOutputs& Outputs() { return outputs_; }
    TmatsAcquisition& Tmats() { return tmats_; }
    const CHAN_INFO* TmatsInfo() const { return run_.tmatsInfo; }
    DisplayState display;
    CStreamState streamState;

    int FilesValidated() const { return filesValidated_.load(); }
    // Told of every run hook as it is called (tests).
    enum class RunHook { IndexSetup, IndexAtEnd, Summary };

private:
    friend class EngineTestAccess;  // defined by the tests
    struct FileRun;

    // The processor's append-and-validate step for one buffer: what the
    // thread does with it. `release` hands the buffer back to the reader
    // once the frame has finished with it.
    BufferOutcome AppendAndValidate(int status, int count, const uint8_t* buffer,
                                    const std::function<void()>& release);
    bool WorkersDone() const;

    // Threads.
    void ReaderThread(FileRun& run);
    void ReadIntoBuffers(FileRun& run);
    bool PostNextFile(FileRun& run);
    void ProcessorThread(FileRun& run);
    void OnProcessingEnded();
    void OnValidationCompleted(FileRun& run);
    void OnValidateNextFile(uint64_t generation, int index, const std::string& path, int handle);
    void CloseRunFiles();
    // Closes one output and notes it written, or failed when a write or
    // the close was refused.
    void CloseOutput(platform::OutputFile& file, const std::string& path);
    // The summary file from the frame's, the sections' and the body checks' state.
    void WriteSummary();
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
    void FillChannelList(const std::string& logPrefix);
    OpenFilesFailure SelectSource(const OpenFilesTexts& texts, const std::string& outputDir,
                                  const std::string& logPrefix);
    // The source opened by its input type; -1 when it may not be opened.
    int OpenSourceInput();
    void NoteQuietEnd(const char* text);
    // The listing's dispatch reaches this engine's body checks.
    void InstallBodyChecks() { shared_.listing.bodyChecks = bodyChecks_.get(); }

    EngineHost& host_;
    tessin::RecordingInput& input_;
    EngineState& shared_;
    RunOutputs outputs_;
    TmatsAcquisition tmats_;
    RunContext run_;
    std::unique_ptr<Frame> frame_;
    std::unique_ptr<EngineBodyChecks> bodyChecks_;
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
    std::vector<FailedOutput> failed_;


    // The hand-over of the two read buffers (each guarded by its events).
    std::atomic<int> bufferStatus_[2] = {0, 0};
    std::atomic<int> bufferBytes_[2] = {0, 0};
    int readerIndex_ = 0;
    int processorIndex_ = 0;
    int lastBufferBytes_ = 0;
    std::atomic<int> readSize_{static_cast<int>(kReadBufferSize)};

    std::function<int(Frame&)> validator_;  // in place of the frame (tests)
    std::function<void(RunHook)> runHookProbe_;  // tests
    void Probe(RunHook hook) const {
        if (runHookProbe_) runHookProbe_(hook);
    }
};

}  // namespace vexa

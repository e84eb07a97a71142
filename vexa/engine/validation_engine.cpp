#include "vexa/engine/validation_engine.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "platform/format.h"
#include "platform/path.h"
#include "vexa/engine/check_sections.h"
#include "vexa/engine/file_run.h"
#include "vexa/engine/frame.h"

namespace vexa {

ValidationEngine::ValidationEngine(EngineHost& host, tessin::RecordingInput& input)
    : host_(host), input_(input), shared_(Engine()), tmats_(input),
      run_(host, shared_.errors, shared_.listing, shared_.spaceDelimited, outputs_, display, runConfig, streamState,
           [this](const std::string& path) { NoteWritten(path); }),
      frame_(std::make_unique<Frame>(run_)),
      bodyChecks_(std::make_unique<EngineBodyChecks>([this] { return run_.tmatsInfo; }, runConfig,
                                                     intraPacketTolerance, shared_.errors)),
      alive_(std::make_shared<char>(0)) {
    run_.timePacketTolerance = &timePacketTolerance;
    outputs_.noteFailed = [this](const FailedOutput& failed) { NoteFailed(failed); };
    display.SetText(DisplayText::tmatsErrors, "0");
    runConfig.ResetRunConfig();
    streamState.ResetStreamState();
}

ValidationEngine::~ValidationEngine() {
    EndLiveRun();
    if (shared_.listing.bodyChecks == bodyChecks_.get()) shared_.listing.bodyChecks = nullptr;
    alive_.reset();
}

// --- posts -------------------------------------------------------------------

void ValidationEngine::PostToUi(std::function<void()> fn) {
    std::weak_ptr<char> alive = alive_;
    host_.Post([alive, fn = std::move(fn)] {
        if (alive.lock()) fn();
    });
}

void ValidationEngine::PostBox(std::string text, std::string caption, BoxIcon icon) {
    host_.PostBox(std::move(text), std::move(caption), icon);
}

void ValidationEngine::NoteQuietEnd(const char* text) {
    std::lock_guard lock(quietMutex_);
    if (quietEnd_.empty()) quietEnd_ = text;
}

void ValidationEngine::PostRunEnd(uint64_t generation, bool completed) {
    PostToUi([this, generation, completed] {
        if (generation != generation_.load()) return;  // a run that is no longer current
        if (completed) {
            display.SetText(DisplayText::status, "Validation completed");
            display.stopEnabled = false;
        }
        RunEnd end;
        end.completed = completed;
        {
            std::lock_guard lock(quietMutex_);
            end.quietEnd = quietEnd_;
        }
        end.directoryRun = runConfig.inputType == 0;
        end.filesValidated = filesValidated_.load();
        end.filesTotal = end.directoryRun ? static_cast<int>(runConfig.sourceFiles.size()) : 1;
        host_.RunEnded(end);
    });
}

// --- run control ---------------------------------------------------------------

bool ValidationEngine::WorkersDone() const {
    auto run = CurrentRun();
    return run && run->reader.Finished() && run->processor.Finished();
}

std::shared_ptr<ValidationEngine::FileRun> ValidationEngine::CurrentRun() const {
    std::lock_guard lock(runMutex_);
    return currentRun_;
}

void ValidationEngine::StartFileRun(bool resumeProcessor) {
    auto run = std::make_shared<FileRun>(generation_.load());
    {
        std::lock_guard lock(runMutex_);
        if (currentRun_) finishedRuns_.push_back(currentRun_);
        currentRun_ = run;
    }
    FileRun* r = run.get();
    r->processor.Start([this, r] { ProcessorThread(*r); }, true);
    r->reader.Start([this, r] { ReaderThread(*r); }, false);
    if (resumeProcessor) r->processor.Resume();
}

void ValidationEngine::JoinFinishedRuns() {
    std::vector<std::shared_ptr<FileRun>> runs;
    {
        std::lock_guard lock(runMutex_);
        runs.swap(finishedRuns_);
    }
    for (auto& run : runs) {
        run->reader.Join();
        run->processor.Join();
    }
}

void ValidationEngine::EndLiveRun() {
    continueWithNextFile_ = false;
    FinishRun();
    continueWithNextFile_ = false;
    std::shared_ptr<FileRun> run;
    {
        std::lock_guard lock(runMutex_);
        run = std::move(currentRun_);
    }
    if (run) {
        run->reader.Join();
        run->processor.Join();
    }
    JoinFinishedRuns();
    ClosePendingHandle();
}

bool ValidationEngine::TakePendingHandle(uint64_t generation, int handle) {
    std::lock_guard lock(pendingMutex_);
    if (pendingNextHandle_ != handle || pendingGeneration_ != generation) return false;
    pendingNextHandle_ = -1;
    return true;
}

void ValidationEngine::ClosePendingHandle() {
    int handle = -1;
    {
        std::lock_guard lock(pendingMutex_);
        std::swap(handle, pendingNextHandle_);
    }
    if (handle >= 0) input_.Close(handle);
}

void ValidationEngine::ShowRunStatus() {
    display.SetText(DisplayText::source,
                    platform::Format("Source File (%d/%d): %s", runConfig.nextFileIndex,
                                     static_cast<int>(runConfig.sourceFiles.size()), runConfig.sourcePath.c_str()));
    display.SetText(DisplayText::log, "Output: " + runConfig.outputPath);
}

bool ValidationEngine::OpenRunOutputs() {
    OutputOpenRequest request;
    request.outputPath = runConfig.outputPath;
    request.sourcePath = runConfig.sourcePath;
    request.tmatsLogPath = tmats_.LogPath();
    request.spaceDelimited = run_.SpaceDelimited();
    request.title = host_.WindowTitle();
    request.clock = clock;
    outputs_.OpenOutputFiles(request, host_);
    return outputs_.outputHandle.IsOpen();
}

namespace {
bool HasFailed(const std::vector<FailedOutput>& failed, const std::string& path) {
    return std::any_of(failed.begin(), failed.end(), [&](const FailedOutput& f) { return f.path == path; });
}
}  // namespace

void ValidationEngine::NoteWritten(const std::string& path) {
    std::lock_guard lock(writtenMutex_);
    // A file rewritten after a failure (a later setup record) stays failed.
    if (HasFailed(failed_, path)) return;
    if (std::find(written_.begin(), written_.end(), path) == written_.end()) written_.push_back(path);
}

void ValidationEngine::NoteFailed(const FailedOutput& failed) {
    std::lock_guard lock(writtenMutex_);
    written_.erase(std::remove(written_.begin(), written_.end(), failed.path), written_.end());
    if (!HasFailed(failed_, failed.path)) failed_.push_back(failed);
}

std::vector<std::string> ValidationEngine::OutputsWritten() const {
    std::lock_guard lock(writtenMutex_);
    return written_;
}

std::vector<FailedOutput> ValidationEngine::OutputsFailed() const {
    std::lock_guard lock(writtenMutex_);
    return failed_;
}

namespace {
using platform::StripTrailingSeparators;
bool CanOpenForReading(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}
}  // namespace

const CHAN_INFO* ValidationEngine::AcquireChannelList(const std::string& prefix, std::string* message) {
    run_.tmatsInfo = tmats_.ReadTmatsInfo(runConfig, 0, runConfig.sourcePath, prefix, message);
    if (!run_.tmatsInfo) return nullptr;
    frame_->PrefillChannelTable(run_.tmatsInfo);
    run_.streamRules.tmatsRevision = tmats_.Revision();
    run_.streamRules.dataTypeRowCount = tmats_.DataTypeRowCount();
    display.SetText(DisplayText::versionInfo, tmats_.VersionInfoText());
    return run_.tmatsInfo;
}

// The dialog's channel list: acquisition and pre-fill.
void ValidationEngine::FillChannelList(const std::string& logPrefix) {
    if (runConfig.sourcePath.empty()) return;
    std::string message;
    if (!AcquireChannelList(logPrefix, &message)) PostBox(message, "", BoxIcon::None);
}

// The source of the run and its channel list; the failed check (its box is
// posted), or None.
OpenFilesFailure ValidationEngine::SelectSource(const OpenFilesTexts& texts, const std::string& outputDir,
                                                const std::string& logPrefix) {
    if (runConfig.inputType == 1) {
        // An empty source keeps the channel record of an earlier choice, so
        // its own message below can be reached.
        runConfig.sourcePath = texts.sourceFile;
        FillChannelList(logPrefix);
        if (!run_.tmatsInfo) {
            PostBox("Please select a valid source file", "", BoxIcon::None);
            return OpenFilesFailure::NoChannelInfo;
        }
        if (texts.sourceFile.empty()) {
            PostBox("Please enter or select a valid source file", "", BoxIcon::None);
            return OpenFilesFailure::EmptySource;
        }
        return OpenFilesFailure::None;
    }
    if (!runConfig.sourceIsRecorder) {
        runConfig.sourceDir = texts.sourceDir;
        runConfig.outputDir = outputDir;
        if (!runConfig.RescanSourceDir(StripTrailingSeparators(texts.sourceDir) + "/*")) {
            PostBox("Empty or Invalid Directory.", "Kelvane", BoxIcon::Warning);
            return OpenFilesFailure::BadDirectory;
        }
    }
    if (runConfig.sourceFiles.empty()) return OpenFilesFailure::None;
    runConfig.currentFileIndex = runConfig.nextFileIndex;
    runConfig.nextFileIndex += 1;
    runConfig.sourcePath = runConfig.GetSourceFile(runConfig.currentFileIndex);
    if (runConfig.inputHandle != -1 && runConfig.inputHandle != 0) input_.Close(runConfig.inputHandle);
    int handle = OpenSourceInput();
    runConfig.inputHandle = handle < 0 ? -1 : handle;
    if (handle < 0) {
        PostBox("Empty or Invalid Directory.", "Kelvane", BoxIcon::Warning);
        return OpenFilesFailure::BadDirectory;
    }
    run_.tmatsInfo = nullptr;
    FillChannelList(logPrefix);
    // Without a channel record the run would validate against no TMATS at
    // all; the dialog stays open as for a single file.
    if (!run_.tmatsInfo) {
        PostBox("Please select a valid source file", "", BoxIcon::None);
        return OpenFilesFailure::BadDirectory;
    }
    return OpenFilesFailure::None;
}

bool ValidationEngine::OpenFilesOk(const OpenFilesTexts& texts, OpenFilesFailure* failure) {
    OpenFilesFailure unused = OpenFilesFailure::None;
    OpenFilesFailure& failed = failure != nullptr ? *failure : unused;
    failed = OpenFilesFailure::None;
    if (texts.tmats != kUseInternalTmats && !texts.tmats.empty() && !CanOpenForReading(texts.tmats)) {
        PostBox("TMATS file does not exist!", "", BoxIcon::Warning);
        failed = OpenFilesFailure::TmatsMissing;
        return false;
    }
    runConfig.tmatsSource = texts.tmats;
    runConfig.sourcePath.clear();
    const std::string outputDir = StripTrailingSeparators(texts.outputDir);
    failed = SelectSource(texts, outputDir, platform::JoinPath(outputDir, texts.outputFile));
    if (failed != OpenFilesFailure::None) return false;

    if (runConfig.inputHandle != -1 && runConfig.inputHandle != 0) {
        input_.Close(runConfig.inputHandle);
        runConfig.inputHandle = -1;
    }
    int handle = OpenSourceInput();
    runConfig.inputHandle = handle < 0 ? -1 : handle;
    if (handle < 0) {
        PostBox("Can't find source file(s).", "Kelvane", BoxIcon::Warning);
        failed = OpenFilesFailure::SourceNotFound;
        return false;
    }

    // The earlier log may be incomplete when its close failed: the user hears of it.
    if (!outputs_.outputHandle.Close()) PostBox("Error on closing output file", "", BoxIcon::None);
    outputs_.Close();
    if (!texts.outputFile.empty()) {
        runConfig.outputDir = outputDir;
        runConfig.SetOutputNames(runConfig.inputType == 1
                                     ? MakeOutputNames(outputDir, texts.outputFile, OutputNaming::LogNameAsGiven)
                                     : MakeOutputNames(runConfig.outputDir, runConfig.sourcePath));
        runConfig.confirmedInputType = runConfig.inputType;
        runConfig.confirmedSpaceDelimited = run_.SpaceDelimited();
        OpenRunOutputs();
    }
    return true;
}

const CHAN_INFO* ValidationEngine::ReadChannelDetails(const std::string& path, std::string* message) {
    // A plain path: never the device form. Only the record is replaced; the
    // channel table and the TMATS count stay with the run that made them.
    run_.tmatsInfo = tmats_.ReadTmatsInfo(runConfig, 0, path, "", message);
    return run_.tmatsInfo;
}

void ValidationEngine::OnOpenFiles() {
    InstallBodyChecks();
    display.SetText(DisplayText::tmatsErrors,
                    platform::Format("%d", run_.tmatsInfo ? static_cast<int>(run_.tmatsInfo->FindingCount) : 0));
    display.validateEnabled = true;
    display.stopEnabled = true;
    if (runConfig.inputType == 1) {
        display.SetText(DisplayText::source, "Source File: " + runConfig.sourcePath);
        display.SetText(DisplayText::log, "Output: " + runConfig.outputPath);
    } else {
        display.SetText(DisplayText::source,
                        platform::Format("Source Dir (%d files): %s", static_cast<int>(runConfig.sourceFiles.size()),
                                         runConfig.sourceDir.c_str()));
    }
    display.SetText(DisplayText::dataType, {});
    display.SetText(DisplayText::selectedChannel,
                    runConfig.selectedChannel == 0
                        ? std::string("Selected Channel: All")
                        : platform::Format("Selected Channel: %d", runConfig.selectedChannel));
    display.selectedChannelShown = runConfig.selectedChannel != 0;
    display.ResetDisplay(Errors());
    streamState.filesOpen = true;
    runFlag_ = 1;
    StartFileRun(false);
}

int ValidationEngine::OpenSourceInput() {
    const int type = runConfig.SourceInputType();
    return type == CRunConfig::kDoNotOpen ? -1 : input_.Open(runConfig.sourcePath.c_str(), type);
}

void ValidationEngine::BeginOpen() {
    // A run between two files of a directory is ended and joined before the
    // dialog shows, so the libraries serve one run at a time.
    EndLiveRun();
    generation_.fetch_add(1);
    filesValidated_ = 0;
    {
        std::lock_guard lock(writtenMutex_);
        written_.clear();
        failed_.clear();
    }
    {
        std::lock_guard lock(quietMutex_);
        quietEnd_.clear();
    }
}

void ValidationEngine::CancelOpen() { streamState.filesOpen = false; }

bool ValidationEngine::OpenFiles(const OpenFilesTexts& texts) {
    BeginOpen();
    if (!OpenFilesOk(texts)) {
        CancelOpen();
        return false;
    }
    OnOpenFiles();
    return true;
}

void ValidationEngine::Validate() {
    display.validateEnabled = false;
    stopRequested_ = false;
    streamState.listingOn = true;
    StartValidation();
}

void ValidationEngine::StartValidation() {
    if (!streamState.filesOpen || streamState.playState != kIdle) return;
    streamState.playState = kValidating;
    if (runFlag_ == 0) {
        // The threads of an earlier stop have ended: a fresh pair.
        runFlag_ = 1;
        StartFileRun(false);
    }
    if (runConfig.inputType == 0) ShowRunStatus();
    continueWithNextFile_ = true;
    if (auto run = CurrentRun()) run->processor.Resume();
}

void ValidationEngine::Stop() {
    stopRequested_ = true;
    if (streamState.filesOpen) {
        streamState.listingOn = false;
        display.stopEnabled = false;
        FinishRun();
    }
}

void ValidationEngine::CloseFiles() {
    continueWithNextFile_ = false;
    FinishRun();
    continueWithNextFile_ = false;
}

void ValidationEngine::ResetCounters() { Errors().RequestReset(); }

// --- the finish path ---------------------------------------------------------

void ValidationEngine::FinishRun() {
    std::shared_ptr<FileRun> run = CurrentRun();
    if (!run) return;
    if (run->finishBegun.exchange(true)) {
        run->firstPassDone.Wait();
        return;
    }
    streamState.filesOpen = false;
    streamState.listingOn = false;
    PostToUi([this] { display.validateEnabled = false; });
    runFlag_ = 0;
    run->CancelEvents();
    run->processor.Resume();
    // Nothing the workers use is closed or cleared while they may use it.
    run->readerLeftLoop.Wait();
    if (!run->OnProcessorThread()) run->processorLeftValidator.Wait();

    Probe(RunHook::Summary);
    WriteSummary();
    CloseRunFiles();
    ResetValidationState();
    streamState.ResetStreamState();
    tmats_.DeleteLog();
    run->firstPassDone.Open();
}

void ValidationEngine::WriteSummary() {
    SummarySources sources;
    for (int s = 0; s < kChannelSlots; ++s) sources.channelIds[static_cast<std::size_t>(s)] = frame_->ChannelAt(s);
    const TimeSectionState& time = frame_->Sections().Of<TimeSectionState>();
    sources.startTime = time.firstTimePacketText;
    sources.endTime = time.timePacketText;
    sources.bus = &bodyChecks_->Bus();
    sources.now = clock ? clock() : std::time(nullptr);
    WriteSummaryFile(run_, sources);
}

void ValidationEngine::CloseOutput(platform::OutputFile& file, const std::string& path) {
    if (!file.IsOpen()) return;
    const bool whole = !file.Failed();
    if (file.Close() && whole) NoteWritten(path);
    else NoteFailed({path, false});
}

void ValidationEngine::CloseRunFiles() {
    CloseOutput(outputs_.outputHandle, runConfig.outputPath);
    CloseOutput(outputs_.summaryHandle, runConfig.summaryPath);
    {
        std::lock_guard lock(outputs_.namesLock);
        CloseOutput(outputs_.errorLineHandle, outputs_.listingNames[kListingSlots]);
        for (std::size_t s = 0; s < kListingSlots; ++s) CloseOutput(outputs_.listingHandles[s], outputs_.listingNames[s]);
    }
    int handle = runConfig.inputHandle;
    if (handle != -1) {
        input_.Close(handle);
        runConfig.inputHandle = -1;
    }
    outputs_.Close();
}

void ValidationEngine::OnProcessingEnded() {
    if (!streamState.filesOpen) return;
    int state = streamState.playState;
    if (state == kStopping || state == kIdle) return;
    streamState.playState = kIdle;
    if (streamState.filesOpen) FinishRun();
}

void ValidationEngine::OnValidationCompleted(FileRun& run) {
    FinishRun();
    PostRunEnd(run.generation, true);
}

void ValidationEngine::ResetValidationState() {
    readSize_ = static_cast<int>(kReadBufferSize);
    for (int i = 0; i < 2; ++i) {
        bufferStatus_[i] = 0;
        bufferBytes_[i] = 0;
    }
    readerIndex_ = processorIndex_ = 0;
    frame_->Reset();
    bodyChecks_->RunReset();
}

// --- the next file of a directory run ------------------------------------------

void ValidationEngine::OnValidateNextFile(uint64_t generation, int index, const std::string& path, int handle) {
    // A run that ended before this step closed the handle already, so a
    // stale step never touches the input while a newer run reads.
    if (!TakePendingHandle(generation, handle)) return;
    if (generation != generation_.load()) {
        input_.Close(handle);
        return;
    }
    JoinFinishedRuns();
    if (auto previous = CurrentRun()) {
        previous->reader.Join();
        previous->processor.Join();
    }
    if (stopRequested_ || !continueWithNextFile_) {
        // Stopped or closed between two files: the run ends here.
        input_.Close(handle);
        FinishRun();
        PostRunEnd(generation, true);
        return;
    }
    InstallBodyChecks();
    runConfig.currentFileIndex = index;
    runConfig.nextFileIndex = index + 1;
    runConfig.sourcePath = path;
    runConfig.inputHandle = handle;
    runConfig.SetOutputNames(MakeOutputNames(runConfig.outputDir, path));

    display.ResetDisplay(Errors());
    ShowRunStatus();
    std::string message;
    run_.tmatsInfo = tmats_.ReadTmatsInfo(runConfig, 0, runConfig.sourcePath, "", &message);
    if (!run_.tmatsInfo) {
        PostBox(message, "", BoxIcon::None);
        PostRunEnd(generation, false);
        return;
    }
    display.SetText(DisplayText::tmatsErrors, platform::Format("%d", static_cast<int>(run_.tmatsInfo->FindingCount)));
    display.SetText(DisplayText::versionInfo, tmats_.VersionInfoText());
    frame_->PrefillChannelTable(run_.tmatsInfo);
    run_.streamRules.tmatsRevision = tmats_.Revision();
    run_.streamRules.dataTypeRowCount = tmats_.DataTypeRowCount();
    OpenRunOutputs();
    streamState.filesOpen = true;
    streamState.playState = kValidating;
    runFlag_ = 1;
    stopRequested_ = false;
    streamState.listingOn = true;
    StartFileRun(true);
}

}  // namespace vexa

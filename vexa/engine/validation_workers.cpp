// The two worker loops of a file run: the reader fills the two buffers in
// turn, the processor validates each and hands it back.
#include <algorithm>
#include <functional>
#include <mutex>
#include <string>

#include "vexa/engine/check_sections.h"
#include "vexa/engine/file_run.h"
#include "vexa/engine/frame.h"

namespace vexa {

namespace {
// The run whose processor this thread is, for the finish path.
thread_local const void* tlsProcessorRun = nullptr;
constexpr const char* kWriteFailed = "Error writing validation output, processing stopped";
}  // namespace

bool ValidationEngine::FileRun::OnProcessorThread() const { return tlsProcessorRun == this; }

// --- the reader ----------------------------------------------------------------

void ValidationEngine::ReaderThread(FileRun& run) {
    ReadIntoBuffers(run);
    run.readerLeftLoop.Open();
    run.readEvents[0].Set();
    run.readEvents[1].Set();

    run.processorEnded.Wait();
    if (run.finishBegun) run.firstPassDone.Wait();
    OnProcessingEnded();
    if (!PostNextFile(run)) OnValidationCompleted(run);
}

// Fills the two buffers in turn until the end, a failed read or the run's end.
void ValidationEngine::ReadIntoBuffers(FileRun& run) {
    const bool recorder = runConfig.sourceIsRecorder != 0;
    int64_t budget = 0;
    bool budgetKnown = true;
    if (recorder) {
        const auto index = static_cast<std::size_t>(runConfig.currentFileIndex);
        if (runConfig.currentFileIndex >= 0 && index < runConfig.recorderFileSizes.size())
            budget = runConfig.recorderFileSizes[index];
        else
            budgetKnown = false;  // no size to bound the reads: a failed read
    }
    readerIndex_ = 0;
    if (runConfig.inputHandle == -1) runConfig.inputHandle = OpenSourceInput();
    const int handle = runConfig.inputHandle;

    int count = 0;
    while (runFlag_) {
        const int i = readerIndex_;
        if (run.procEvents[i].Wait() != platform::AutoResetEvent::WaitResult::Signalled) break;
        if (!runFlag_) break;
        bufferStatus_[i] = 0;
        uint8_t* buffer = streamState.readBuffers[i];
        const int readSize = readSize_;
        if (!budgetKnown) {
            count = -1;
        } else if (recorder && budget < readSize) {
            // A recorder read delivers whole chunks: the file's size bounds the count.
            if (budget <= 0) {
                count = 0;
            } else {
                int got = input_.Read(handle, buffer, static_cast<int>(budget));
                count = got <= 0 ? got : std::min<int>(got, static_cast<int>(budget));
            }
        } else {
            count = input_.Read(handle, buffer, readSize);
            if (count > readSize) count = -1;  // more than asked: not to be trusted
        }
        bufferBytes_[i] = count;
        bufferStatus_[i] = count == 0 ? 2 : 1;
        run.readEvents[i].Set();
        readerIndex_ = (i + 1) % 2;
        if (!budgetKnown) break;
        if (recorder) {
            budget -= count;
            if (budget < 0) break;
        }
        if (handle == -1 || count == 0) break;
    }
}

// A directory run's next file: opened here and handed to the user-interface
// thread. False when the run does not go on.
bool ValidationEngine::PostNextFile(FileRun& run) {
    if (!continueWithNextFile_ || stopRequested_ || runConfig.inputType != 0 ||
        runConfig.nextFileIndex >= static_cast<int>(runConfig.sourceFiles.size()))
        return false;
    const int index = runConfig.nextFileIndex;
    std::string path = runConfig.GetSourceFile(index);
    const int type = runConfig.SourceInputType();
    int next = type == CRunConfig::kDoNotOpen ? -1 : input_.Open(path.c_str(), type);
    if (next < 0) return false;
    {
        std::lock_guard lock(pendingMutex_);
        pendingNextHandle_ = next;
        pendingGeneration_ = run.generation;
    }
    const uint64_t generation = run.generation;
    PostToUi([this, generation, index, path, next] { OnValidateNextFile(generation, index, path, next); });
    return true;
}

// --- the processor -------------------------------------------------------------

BufferOutcome ValidationEngine::AppendAndValidate(int status, int count, const uint8_t* buffer,
                                                  const std::function<void()>& release) {
    if (status == 3) {
        frame_->DropCarryOver();
        PostBox("Error reading input file, processing stopped", "", BoxIcon::None);
        return BufferOutcome::ReaderFailed;
    }
    if (status == 2) {
        Probe(RunHook::IndexAtEnd);
        if (!CheckIndexAtEnd(run_)) NoteQuietEnd(kWriteFailed);
        frame_->DropCarryOver();
        filesValidated_.fetch_add(1);
        return BufferOutcome::EndOfData;
    }
    if (count <= 0 || !frame_->Load(buffer, static_cast<uint32_t>(count))) {
        frame_->DropCarryOver();
        NoteQuietEnd("Error reading input file, processing stopped");
        return BufferOutcome::ReadFailed;
    }
    BufferOutcome outcome = BufferOutcome::Stopped;
    while (runFlag_) {
        int result = validator_ ? validator_(*frame_) : frame_->ValidateNextPacket();
        if (result == 1) {
            frame_->SetWorkPending(false);
            outcome = BufferOutcome::NeedData;
            break;
        }
        if (result == -1) {
            frame_->DropCarryOver();
            NoteQuietEnd(kWriteFailed);
            outcome = BufferOutcome::ValidatorFailed;
            break;
        }
    }
    // Packets were validated in the buffer itself: it goes back to the
    // reader only now, the partial packet at its end already carried over.
    frame_->LetGoOfBuffer();
    release();
    return outcome;
}

void ValidationEngine::ProcessorThread(FileRun& run) {
    tlsProcessorRun = &run;
    processorIndex_ = 0;
    // Resumed by the finish path before it ever validated: only the leaving steps.
    if (runFlag_) {
        Errors().DiscardResetRequest();
        run_.runPacketCount = 0;  // each file starts its own count
        // A log without its header or its first finding would read as
        // complete: nothing is validated into it.
        bool writing = !outputs_.headerFailed;
        if (writing) {
            Probe(RunHook::IndexSetup);
            writing = CheckIndexSetup(run_);
        }
        if (!writing) NoteQuietEnd(kWriteFailed);
        while (writing && runFlag_) {
            const int i = processorIndex_;
            if (run.readEvents[i].Wait() != platform::AutoResetEvent::WaitResult::Signalled) break;
            if (!runFlag_) break;
            const int status = bufferStatus_[i];
            const int count = bufferBytes_[i];
            lastBufferBytes_ = count;
            BufferOutcome outcome =
                AppendAndValidate(status, count, streamState.readBuffers[i], [this, &run, i] {
                    // Free before the reader can refill it, so its next status stands.
                    bufferStatus_[i] = 0;
                    run.procEvents[i].Set();
                    processorIndex_ = (i + 1) % 2;
                });
            if (outcome != BufferOutcome::NeedData) break;
            if (lastBufferBytes_ <= 0) break;
        }
    }
    // Whoever ends processing clears the flag before waking the reader.
    runFlag_ = 0;
    run.processorLeftValidator.Open();
    run.procEvents[0].Set();
    run.procEvents[1].Set();
    OnProcessingEnded();
    run.processorEnded.Open();
    tlsProcessorRun = nullptr;
}

}  // namespace vexa

#pragma once
// The recording input for what files cannot do. Plain paths go to the
// library; reads of a chosen number fail or block on a latch. A recorder
// source (input type above 100) is served from memory the way a recorder
// drive delivers it: a whole chunk whatever count is asked, with stale bytes
// behind the file's end.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "platform/latch.h"
#include "tessin/recording_input.h"

namespace rig {

class FakeInput final : public tessin::RecordingInput {
public:
    static constexpr int kChunk = 0xFC000;

    enum class Action { None, Fail, Block };
    // Read `readNumber` (counted from 1 per handle) of a handle opened on a
    // path containing `pathPart`; with `openNumber`, only of that open of
    // the path (counted from 1).
    struct Rule {
        std::string pathPart;
        int readNumber = 0;
        Action action = Action::None;
        int openNumber = 0;
    };

    void AddRule(Rule rule) {
        std::lock_guard lock(mutex_);
        rules_.push_back(std::move(rule));
    }
    // What the recorder drive holds for every recorder path.
    void SetRecorderFile(ch10fix::Bytes bytes, ch10fix::Bytes stale) {
        std::lock_guard lock(mutex_);
        recorderBytes_ = std::move(bytes);
        stale_ = std::move(stale);
    }

    // A blocked read waits here (never longer than the limit, so a broken
    // engine fails the test instead of hanging it).
    platform::Latch release;
    platform::Latch blocked;  // opened when a read starts blocking
    std::chrono::milliseconds blockLimit{20000};

    int Open(const char* path, int inputType) override {
        int handle = -1;
        const bool recorder = inputType > 100;
        if (recorder) {
            std::lock_guard lock(mutex_);
            handle = nextRecorderHandle_++;
        } else {
            handle = tessin::LibraryInput().Open(path, inputType);
        }
        if (handle < 0) return handle;
        std::lock_guard lock(mutex_);
        const std::string name = path ? path : "";
        handles_[handle] = Handle{name, recorder, ++opensOf_[name]};
        ++opens_;
        return handle;
    }

    int Read(int handle, void* buffer, int count) override {
        Action action = Action::None;
        bool recorder = false;
        {
            std::lock_guard lock(mutex_);
            auto it = handles_.find(handle);
            if (it == handles_.end()) {
                ++unknownHandleReads_;
            } else {
                Handle& h = it->second;
                recorder = h.recorder;
                ++h.reads;
                h.inRead = true;
                for (const Rule& r : rules_)
                    if (h.path.find(r.pathPart) != std::string::npos && r.readNumber == h.reads &&
                        (r.openNumber == 0 || r.openNumber == h.ordinal))
                        action = r.action;
            }
        }
        int result = -1;
        if (action == Action::Block) {
            blocked.Open();
            release.WaitFor(blockLimit);
        }
        if (action == Action::Fail) {
            result = -1;
        } else if (recorder) {
            result = RecorderRead(handle, buffer);
        } else {
            result = tessin::LibraryInput().Read(handle, buffer, count);
        }
        std::lock_guard lock(mutex_);
        auto it = handles_.find(handle);
        if (it != handles_.end()) it->second.inRead = false;
        return result;
    }

    int64_t Goto(int handle, uint32_t low, int32_t high, int origin) override {
        bool recorder = false;
        {
            std::lock_guard lock(mutex_);
            auto it = handles_.find(handle);
            if (it != handles_.end() && it->second.recorder) {
                it->second.position = 0;
                recorder = true;
            }
        }
        if (recorder) return 0;
        return tessin::LibraryInput().Goto(handle, low, high, origin);
    }

    int Close(int handle) override {
        bool recorder = false;
        {
            std::lock_guard lock(mutex_);
            auto it = handles_.find(handle);
            if (it == handles_.end()) {
                // The first acquisition closes the configuration's starting
                // 0, which the library ignores as it is none of its own.
                if (handle != 0) ++unknownCloses_;
                return 0;
            }
            if (it->second.inRead) ++closedDuringRead_;
            recorder = it->second.recorder;
            handles_.erase(it);
            ++closes_;
        }
        if (!recorder) tessin::LibraryInput().Close(handle);
        return 0;
    }

    // Handles still open.
    int OpenHandles() const {
        std::lock_guard lock(mutex_);
        return static_cast<int>(handles_.size());
    }
    int Opens() const {
        std::lock_guard lock(mutex_);
        return opens_;
    }
    int ClosedDuringRead() const {
        std::lock_guard lock(mutex_);
        return closedDuringRead_;
    }
    int UnknownHandleUses() const {
        std::lock_guard lock(mutex_);
        return unknownHandleReads_ + unknownCloses_;
    }

private:
    struct Handle {
        std::string path;
        bool recorder = false;
        int ordinal = 0;  // which open of this path
        int reads = 0;
        bool inRead = false;
        std::size_t position = 0;
    };

    // A whole chunk per read while the file has bytes left; stale bytes
    // fill the chunk past the end.
    int RecorderRead(int handle, void* buffer) {
        std::lock_guard lock(mutex_);
        Handle& h = handles_.at(handle);
        if (h.position >= recorderBytes_.size()) return 0;
        auto* out = static_cast<uint8_t*>(buffer);
        const std::size_t n = std::min<std::size_t>(kChunk, recorderBytes_.size() - h.position);
        std::memcpy(out, recorderBytes_.data() + h.position, n);
        for (std::size_t at = n; at < kChunk;) {
            const std::size_t piece = stale_.empty() ? kChunk - at : std::min(stale_.size(), kChunk - at);
            if (stale_.empty()) std::memset(out + at, 0, piece);
            else std::memcpy(out + at, stale_.data(), piece);
            at += piece;
        }
        h.position += kChunk;
        return kChunk;
    }

    mutable std::mutex mutex_;
    std::vector<Rule> rules_;
    std::map<int, Handle> handles_;
    std::map<std::string, int> opensOf_;
    ch10fix::Bytes recorderBytes_;
    ch10fix::Bytes stale_;
    int nextRecorderHandle_ = 9001;  // clear of file descriptors
    int opens_ = 0;
    int closes_ = 0;
    int closedDuringRead_ = 0;
    int unknownHandleReads_ = 0;
    int unknownCloses_ = 0;
};

}  // namespace rig

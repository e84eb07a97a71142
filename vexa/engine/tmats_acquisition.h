#pragma once
// Reading the recording's setup record (or an external TMATS file) and
// having the library validate it into a channel-information record and a
// temporary TMATS validation log.
#include <cstdint>
#include <memory>
#include <string>

#include "vexa/engine/run_config.h"
#include "tessin.h"
#include "tessin/recording_input.h"

namespace vexa {

constexpr int kReadChunk = 0xFC000;
constexpr int kDataTypeRows = 33;

class TmatsAcquisition {
public:
    explicit TmatsAcquisition(tessin::RecordingInput& input = tessin::LibraryInput());
    ~TmatsAcquisition();  // deletes the temporary log
    TmatsAcquisition(const TmatsAcquisition&) = delete;
    TmatsAcquisition& operator=(const TmatsAcquisition&) = delete;

    // The TMATS bytes: the external file of a single-file run, else the
    // recording's first read when its first packet is a setup record.
    // 0 with `text` and `length` set, or -1.
    int ReadTmatsPacket(CRunConfig& config, int device, const std::string& sourcePath, const uint8_t*& text,
                        int& length);
    // The acquisition: NULL with the reason in `message` (when given) on
    // failure. `prefix` is where the temporary log goes (glued to it);
    // empty reuses the last path, or the temporary directory the first time.
    CHAN_INFO* ReadTmatsInfo(CRunConfig& config, int device, const std::string& sourcePath,
                             const std::string& prefix, std::string* message);

    // Deletes the temporary TMATS validation log (its path stays for reuse).
    void DeleteLog() const;

    const std::string& LogPath() const { return logPath_; }
    CHAN_INFO* LastInfo() const { return lastInfo_; }
    int Revision() const { return revision_; }
    int DataTypeRowCount() const { return dataTypeRowCount_; }
    const std::string& VersionInfoText() const { return versionInfoText_; }

private:
    tessin::RecordingInput& input_;
    std::unique_ptr<uint8_t[]> readBuffer_;  // kReadChunk bytes, valid until the next acquisition
    std::string logPath_;
    CHAN_INFO* lastInfo_ = nullptr;
    int revision_ = 7;
    int dataTypeRowCount_ = kDataTypeRows;
    std::string versionInfoText_;
};

}  // namespace vexa

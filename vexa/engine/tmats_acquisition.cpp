#include "vexa/engine/tmats_acquisition.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "ch10/data_type.h"
#include "platform/files.h"
#include "platform/format.h"

namespace vexa {

namespace {

// Up to `capacity` bytes from the start of the file; -1 when it cannot be
// opened or read.
int ReadExternalFile(const std::string& path, uint8_t* buffer, int capacity, bool device) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (!device && ::lseek(fd, 0, SEEK_SET) < 0) {
        ::close(fd);
        return -1;
    }
    int total = 0;
    while (total < capacity) {
        ssize_t n = ::read(fd, buffer + total, static_cast<std::size_t>(capacity - total));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            total = -1;
            break;
        }
        if (n == 0) break;
        total += static_cast<int>(n);
    }
    ::close(fd);
    return total;
}

bool KeptRevision(int revision) {
    switch (revision) {
        case 4: case 5: case 6: case 7: case 9: case 11: case 13: case 15: return true;
        default: return false;
    }
}

}  // namespace

TmatsAcquisition::TmatsAcquisition(tessin::RecordingInput& input)
    : input_(input), readBuffer_(std::make_unique_for_overwrite<uint8_t[]>(kReadChunk)) {}  // zeroed before every use

TmatsAcquisition::~TmatsAcquisition() { DeleteLog(); }

void TmatsAcquisition::DeleteLog() const { platform::RemoveFile(logPath_); }

int TmatsAcquisition::ReadTmatsPacket(CRunConfig& config, int device, const std::string& sourcePath,
                                      const uint8_t*& text, int& length) {
    uint8_t* buffer = readBuffer_.get();
    if (config.UsesExternalTmats()) {
        std::memset(buffer, 0, kReadChunk);
        int n = ReadExternalFile(config.tmatsSource, buffer, kReadChunk, device == 1);
        if (n < 1) return -1;
        text = buffer;
        length = n;
        return 0;
    }
    if (config.inputHandle != -1) {
        input_.Close(config.inputHandle);
        config.inputHandle = -1;
    }
    const int type = config.SourceInputType();
    int handle = type == CRunConfig::kDoNotOpen ? -1 : input_.Open(sourcePath.c_str(), type);
    config.inputHandle = handle;
    if (handle == -1) return -1;
    std::memset(buffer, 0, kReadChunk);
    // A failed positioning or read leaves the input open, as it always has.
    if (device != 1 && input_.Goto(handle, 0, 0, 0) != 0) return -1;
    int n = input_.Read(handle, buffer, kReadChunk);
    if (n == -1) return -1;
    input_.Close(handle);
    config.inputHandle = -1;
    if (buffer[15] != ch10::Code(ch10::DataType::ComputerF1)) return -1;
    text = buffer;
    // Never more than the buffer, whatever an input reports.
    length = std::clamp(n, 0, kReadChunk);
    return 0;
}

CHAN_INFO* TmatsAcquisition::ReadTmatsInfo(CRunConfig& config, int device, const std::string& sourcePath,
                                           const std::string& prefix, std::string* message) {
    const uint8_t* text = nullptr;
    int length = 0;
    if (ReadTmatsPacket(config, device, sourcePath, text, length) == -1) {
        if (message) {
            *message = config.UsesExternalTmats()
                           ? platform::Format("Error reading TMATS info from '%s'\n", config.tmatsSource.c_str())
                           : platform::Format("Error reading TMATS Packet from '%s'\n", sourcePath.c_str());
        }
        return nullptr;
    }
    if (length == 0 || text == nullptr) {
        if (message) *message = platform::Format("Error: Unable to find TMATS info in '%s'\n", sourcePath.c_str());
        return nullptr;
    }

    DeleteLog();
    if (!prefix.empty() || logPath_.empty()) {
        std::string made = platform::MakeUniqueName(prefix);
        logPath_ = made;
    }

    // The library's message may be long; it gets room for any text it writes.
    std::vector<char> errorText(4096, '\0');
    lastInfo_ = process_tmats_packet(reinterpret_cast<const char*>(text), length, errorText.data(),
                                     logPath_.empty() ? nullptr : logPath_.c_str());
    dataTypeRowCount_ = kDataTypeRows;
    if (lastInfo_ == nullptr) {
        if (message) *message = std::string(errorText.data(), strnlen(errorText.data(), errorText.size()));
        return nullptr;
    }
    int revision = lastInfo_->IrigRevision;
    revision_ = KeptRevision(revision) ? revision : 7;
    versionInfoText_ = platform::Format("IRIG 106 Data File Version: NA, TMATS Version: %02d", revision_);
    return lastInfo_;
}

}  // namespace vexa

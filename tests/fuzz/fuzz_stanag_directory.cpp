// quillon's volume scan and directory walk over an arbitrary media image,
// served in process by a device that answers the ingest link's requests
// from memory. The first input byte picks the block size the device
// reports; the rest is the image.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ingest_link.h"
#include "quillon.h"
#include "quillon_state.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace quillon;

constexpr int32_t kBlockSizes[] = {512, 1024, 2048, 4096, 8192, 65536, 64, 100, 65540, 65541, 0, -1, 63, 128, 256, 32768};

int32_t Le32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void Put32(uint8_t* p, int32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

// A drive holding the image: every request is taken whole, then answered.
class ImageDevice final : public link::Transport {
public:
    ImageDevice(const uint8_t* image, std::size_t size, int32_t blockSize)
        : image_(image), size_(size), blockSize_(blockSize), request_(kExchangeBlockSize), reply_(kExchangeBlockSize) {}

    ssize_t Send(const uint8_t* data, std::size_t size) override {
        std::size_t n = std::min(size, kExchangeBlockSize - taken_);
        std::memcpy(request_.data() + taken_, data, n);
        taken_ += n;
        if (taken_ == kExchangeBlockSize) Answer(), taken_ = 0, given_ = 0;
        return static_cast<ssize_t>(n);
    }
    ssize_t Recv(uint8_t* data, std::size_t size) override {
        std::size_t n = std::min(size, kExchangeBlockSize - given_);
        std::memcpy(data, reply_.data() + given_, n);
        given_ += n;
        return static_cast<ssize_t>(n);
    }

private:
    void Answer() {
        std::memset(reply_.data(), 0, reply_.size());
        switch (Le32(request_.data() + link::kRequestCommand)) {
        case link::kOpen: Open(reinterpret_cast<const char*>(request_.data() + link::kRequestPath)); break;
        case link::kBlockSize: Put32(reply_.data() + link::kReplyBlockSize, blockSize_); break;
        case link::kSeek:
            position_ = static_cast<uint64_t>(static_cast<uint32_t>(Le32(request_.data() + link::kRequestOffsetLow))) |
                        static_cast<uint64_t>(static_cast<uint32_t>(Le32(request_.data() + link::kRequestOffsetHigh))) << 32;
            break;
        case link::kRead: Read(Le32(request_.data() + link::kRequestCount)); break;
        default: break;
        }
    }
    // Two numbered drives and one letter hold the image; the scan stops at
    // the third number.
    void Open(const char* path) {
        const bool known = !std::strcmp(path, "//./PHYSICALDRIVE0") || !std::strcmp(path, "//./PHYSICALDRIVE1") ||
                           !std::strcmp(path, "//./E:");
        Put32(reply_.data() + link::kReplyHandle, known ? 3 : -1);
        position_ = 0;
    }
    void Read(int32_t count) {
        std::size_t want = count > 0 ? std::min<std::size_t>(count, kMaxReadData) : 0;
        std::size_t got = position_ < size_ ? std::min<std::size_t>(want, size_ - position_) : 0;
        if (got) std::memcpy(reply_.data() + link::kReplyData, image_ + position_, got);
        position_ += got;
        Put32(reply_.data() + link::kReplyCount, static_cast<int32_t>(got));
    }

    const uint8_t* image_;
    std::size_t size_;
    int32_t blockSize_;
    uint64_t position_ = 0;
    std::vector<uint8_t> request_, reply_;
    std::size_t taken_ = 0, given_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Scratch();
    if (size < 1) return 0;
    const uint8_t pick = data[0];
    ImageDevice device(data + 1, size - 1, kBlockSizes[pick % 16]);
    link::SetTransportForTests(&device);
    static char names[kMaxFiles * 60 + 1];
    static int64_t sizes[kMaxFiles];
    static char drives[1024], volumes[4096];
    // The volume scan by the pick (its block sizes are kept for the drives'
    // numbers), drive 0 always, a letter by the pick.
    if (pick & 0x20) GetSTANAGDrivesVolumeNames(drives, volumes);
    GetSTANAGFilesSizes("0", names, sizes);
    if (pick & 0x10) GetSTANAGFiles("E", names);
    ResetStateForTests();
    link::SetTransportForTests(nullptr);
    return 0;
}

#pragma once
// Shared steps of the sandral tests: a library reset around each test, the
// browse fields set as the browse calls will set them, and listings taken
// into memory with the offsets they printed.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "player.h"
#include "sandral.h"
#include "sandral_state.h"
#include "stepping.h"

namespace sandraltest {

class SandralFixture : public ::testing::Test {
protected:
    void SetUp() override { sandral::ResetStateForTests(); }
    void TearDown() override { sandral::ResetStateForTests(); }
};

struct ListOptions {
    int32_t count = INT_MAX;
    int32_t skip = 0;
    int32_t channel = -1;
    int64_t startOffset = 0;
};

// Opens the player on `path` with the browse fields of `o`; fileSize is
// the file's size. The output stays where it is, memory when there is none.
inline void OpenForListing(const std::string& path, const ListOptions& o = {}) {
    sandral::BrowseState& b = sandral::State().browse;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    b.fileSize = ec ? 0 : static_cast<int64_t>(size);
    b.recordingPath = path;
    b.channelFilter = o.channel;
    b.skipCount = o.skip;
    b.packetCount = o.count;
    b.startOffset = o.startOffset;
    b.firstPrintedOffset = b.lastPrintedOffset = 0;
    if (b.outputStream.kind() == sandral::OutputSink::Kind::None) b.outputStream.UseMemory();
    ZADODOD_Open(path.c_str(), 0, nullptr);
}

// The offsets of the header blocks in a listing, in order.
inline std::vector<int64_t> PrintedOffsets(const std::string& text) {
    std::vector<int64_t> offsets;
    const std::string label = "Offset      :  0x";
    for (std::size_t at = text.find(label); at != std::string::npos; at = text.find(label, at + 1))
        offsets.push_back(static_cast<int64_t>(std::stoull(text.substr(at + label.size(), 16), nullptr, 16)));
    return offsets;
}

inline int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// One decode run into memory; the text it added.
inline std::string DecodeRun() {
    sandral::OutputSink& out = sandral::State().browse.outputStream;
    out.ClearText();
    sandral::State().browse.firstPrintedOffset = sandral::State().browse.lastPrintedOffset = 0;
    sandral::run_decode_loop();
    return out.Text();
}

inline std::string ListPackets(const std::string& path, const ListOptions& o = {}) {
    OpenForListing(path, o);
    return DecodeRun();
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace sandraltest

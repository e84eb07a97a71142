#include "vexa/engine/run_outputs.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/date_text.h"

namespace vexa {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using InputFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

void RunOutputs::OpenOutputFiles(const OutputOpenRequest& request, EngineHost& host) {
    Close();
    outputPath = request.outputPath;
    for (std::string& name : listingNames) name.clear();

    outputHandle = platform::OutputFile::Open(request.outputPath);
    if (!outputHandle.IsOpen()) {
        host.PostMessageBox("Error opening output file");
        NoteFailed(request.outputPath, true);
        return;
    }

    InputFile log;
    if (!request.tmatsLogPath.empty()) log.reset(std::fopen(request.tmatsLogPath.c_str(), "rb"));

    // The error-line file is opened even without a log to copy: the framing
    // and index findings of the run go there.
    if (request.spaceDelimited) {
        const std::string name = request.outputPath + "TMATS";
        errorLineHandle = platform::OutputFile::Open(name);
        if (!errorLineHandle.IsOpen()) {
            host.PostMessageBox("Error on opening tmats log file");
            NoteFailed(name, true);
            return;
        }
        listingNames[kListingSlots] = name;
    }
    if (!log) return;

    platform::OutputFile& target = request.spaceDelimited ? errorLineHandle : outputHandle;
    const std::time_t now = request.clock ? request.clock() : std::time(nullptr);
    std::string header = request.title;
    header += "\r\nSource File: ";
    header += request.sourcePath;
    header += "\r\nDate Time Validated: ";
    header += platform::FormatLocalTime("%A, %B %d, %Y %H:%M:%S", now);
    header += "\r\n";
    if (!target.WriteAll(header)) {
        headerFailed = true;
        return;
    }

    // The log already holds CR LF line ends: its bytes go out as they are.
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, log.get())) > 0) {
        if (!target.WriteAll(buffer, n)) {
            headerFailed = true;
            return;
        }
    }
}

bool RunOutputs::WriteLogLine(std::string_view text, bool spaceDelimited) {
    platform::OutputFile& target = spaceDelimited ? errorLineHandle : outputHandle;
    if (!target.IsOpen()) return true;
    return target.WriteAll(text);
}

platform::OutputFile* RunOutputs::ListingFile(int slot, uint32_t channelId, EngineHost& host) {
    if (slot < 0 || slot >= kListingSlots || outputPath.empty()) return nullptr;
    const auto s = static_cast<std::size_t>(slot);
    if (listingHandles[s].IsOpen()) return &listingHandles[s];
    if (listingFailed[s]) return nullptr;
    const std::string name = outputPath + "_chan" + std::to_string(channelId);
    listingHandles[s] = platform::OutputFile::Open(name);
    if (!listingHandles[s].IsOpen()) {
        const int error = errno;
        listingFailed[s] = true;
        host.PostMessageBox(platform::SystemErrorText(error));
        NoteFailed(name, true);
        return nullptr;
    }
    {
        std::lock_guard lock(namesLock);
        listingNames[s] = name;
    }
    return &listingHandles[s];
}

void RunOutputs::Close() {
    outputHandle.Close();
    errorLineHandle.Close();
    summaryHandle.Close();
    for (platform::OutputFile& f : listingHandles) f.Close();
    listingFailed.fill(false);
    headerFailed = false;
}

}  // namespace vexa

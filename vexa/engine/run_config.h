#pragma once
// What one validation run works on: the source (a file or the *.ch10 files
// of a directory tree), the TMATS choice, the output names, the options and
// the open input.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

inline constexpr const char* kUseInternalTmats = "<use internal TMATS>";

struct OutputNames {
    std::string outputPath;     // the validation log
    std::string summaryPath;    // + ".summary.txt"
    std::string tmatsTextPath;  // + ".TMATS.tmt"
};

enum class OutputNaming {
    // One source of a directory run: `name` is the source's path; its
    // directory (leading separators dropped, separators turned into ".") and
    // base name without its extension give the stem, and the log is stem + ".log".
    FromSource,
    // A single-file run: `name` is the log's file name as the user gave it,
    // and also the stem of the other names.
    LogNameAsGiven,
};

// The run's output names inside `outputDir`.
OutputNames MakeOutputNames(std::string_view outputDir, std::string_view name,
                            OutputNaming naming = OutputNaming::FromSource);

// "%d   B", "%3.2f KB", "%3.2f MB" or "%1.2f GB"; empty when the file cannot
// be opened for reading.
std::string FormatFileSize(const std::string& path);

struct FileListRow {
    std::string name;
    std::string size;  // FormatFileSize of name
};

class CRunConfig {
public:
    CRunConfig() = default;
    CRunConfig(const CRunConfig&) = delete;
    CRunConfig& operator=(const CRunConfig&) = delete;

    int listAllPackets = 0;
    int validateBodies = 0;
    int validateSimPcm = 0;
    int validateSim1553 = 0;
    std::string sourcePath;
    std::string sourceDir;
    std::string outputDir;
    std::string outputPath;
    std::string summaryPath;
    std::string tmatsTextPath;
    std::array<std::string, 257> listingNames;
    std::string tmatsSource;  // kUseInternalTmats or an external TMATS file; empty means internal
    int selectedChannel = 0;
    int inputType = 0;  // 0 directory run, 1 single file
    // The kind and the Space Delimited choice as they were when the run's
    // outputs were named: the dialog changes the live ones while the user
    // clicks, and a cancelled dialog leaves its changes there.
    int confirmedInputType = 0;
    bool confirmedSpaceDelimited = false;
    int nextFileIndex = 0;
    // Written by the reader when it opens the input itself, read by the
    // finish path after the reader has left its loop.
    std::atomic<int> inputHandle{0};
    int sourceIsRecorder = 0;
    int recorderDrive = 0;
    std::vector<int64_t> recorderFileSizes;  // one per source file
    int currentFileIndex = 0;
    std::vector<std::string> sourceFiles;

    // Saved settings are not read here; the caller passes the stored
    // "InputType" (0 when there is none).
    void ResetRunConfig(int savedInputType = 0);
    // Appends the *.ch10 entries under the directory of `pattern` ("dir/*",
    // "dir\*" or the directory itself), depth first, each level sorted,
    // never inside the root's /proc, /sys and /dev. False, with nothing
    // scanned, when the directory is empty or blank ("/*" included: the
    // root is "//*").
    bool ScanSourceDir(const std::string& pattern);
    bool RescanSourceDir(const std::string& pattern);
    std::string GetSourceFile(int index) const;
    // Rows of the View Files dialog: output (mode 0) or summary (mode 1)
    // names of every source and their sizes; the configuration is unchanged.
    std::vector<FileListRow> FillFileList(int mode) const;
    bool UsesExternalTmats() const;
    // The input type the source opens with: 0 for a file, 101 + `recorderDrive`
    // for a recorder; kDoNotOpen where that would be 100 or less, a file type,
    // which would validate a local file of the same name.
    static constexpr int kDoNotOpen = -1;
    int SourceInputType() const {
        if (!sourceIsRecorder) return 0;
        const int type = 101 + recorderDrive;
        return type > 100 ? type : kDoNotOpen;
    }
    OutputNames CurrentOutputNames() const { return {outputPath, summaryPath, tmatsTextPath}; }
    void SetOutputNames(const OutputNames& names);
};

// Tests: the directory the scan treats as the file system's root, whose
// pseudo-folders it skips; empty for "/" again.
void SetScanRootForTests(const std::string& path);

}  // namespace vexa

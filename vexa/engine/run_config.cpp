#include "vexa/engine/run_config.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/directory.h"
#include "platform/format.h"
#include "platform/path.h"
#include "platform/text.h"

namespace vexa {

namespace {
OutputNames NamesFromStem(const std::string& out, const std::string& logName, const std::string& stem) {
    OutputNames names;
    // An empty directory gives bare names, in the working directory, never the root.
    names.outputPath = platform::JoinPath(out, logName);
    names.summaryPath = platform::JoinPath(out, stem + ".summary.txt");
    names.tmatsTextPath = platform::JoinPath(out, stem + ".TMATS.tmt");
    return names;
}
}  // namespace

OutputNames MakeOutputNames(std::string_view outputDir, std::string_view sourcePath, OutputNaming naming) {
    const std::string out(outputDir);
    if (naming == OutputNaming::LogNameAsGiven) return NamesFromStem(out, std::string(sourcePath), std::string(sourcePath));
    std::size_t sep = platform::LastSeparator(sourcePath);
    std::string_view dir = sep == std::string_view::npos ? std::string_view{} : sourcePath.substr(0, sep + 1);
    std::string_view base = sep == std::string_view::npos ? sourcePath : sourcePath.substr(sep + 1);
    std::size_t dot = base.rfind('.');
    if (dot != std::string_view::npos) base = base.substr(0, dot);

    while (!dir.empty() && dir.front() == '\\') dir.remove_prefix(1);
    while (!dir.empty() && dir.front() == '/') dir.remove_prefix(1);
    std::string name(dir);
    for (char& c : name)
        if (c == '\\' || c == '/') c = '.';
    name.append(base);

    return NamesFromStem(out, name + ".log", name);
}

std::string FormatFileSize(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    if (!ok) return {};
    const int64_t length = st.st_size;
    if (length < 1024) return platform::Format("%d   B", static_cast<int>(length));
    if (length <= 0xFFFFF) return platform::Format("%3.2f KB", static_cast<double>(length) / 1024.0);
    if (length > 0x3FFFFFFF) return platform::Format("%1.2f GB", static_cast<double>(length) / 1073741824.0);
    return platform::Format("%3.2f MB", static_cast<double>(length) / 1048576.0);
}

void CRunConfig::ResetRunConfig(int savedInputType) {
    inputType = 0;
    sourcePath.clear();
    outputPath.clear();
    selectedChannel = 0;
    inputHandle = 0;
    listAllPackets = validateBodies = validateSimPcm = validateSim1553 = 0;
    for (auto& n : listingNames) n.clear();
    inputType = savedInputType;
    confirmedInputType = savedInputType;
    confirmedSpaceDelimited = false;
}

namespace {

bool EndsWithCh10(std::string_view path) {
    return path.size() >= 5 && platform::AsciiEqualsNoCase(path.substr(path.size() - 5), ".ch10");
}

// The directory a search pattern names: "dir/*" and "dir\*" lose the "*"
// and the separator; anything else is the directory itself.
std::string PatternDirectory(const std::string& pattern) {
    std::string dir = pattern;
    if (!dir.empty() && dir.back() == '*') {
        dir.pop_back();
        if (!dir.empty() && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    }
    return dir;
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t\r\n\f\v") == std::string_view::npos; }

std::string& ScanRoot() {
    static std::string root = "/";
    return root;
}

// Where the kernel's pseudo-folders hang (the root, or the tests' stand-in).
struct RootIdentity {
    bool known = false;
    dev_t device = 0;
    ino_t inode = 0;
};

RootIdentity IdentityOf(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return {};
    return {true, st.st_dev, st.st_ino};
}

// /proc, /sys and /dev hold no recordings, and walking them never ends well
// (endless files, devices that block on open).
bool IsPseudoFolder(const std::string& name) { return name == "proc" || name == "sys" || name == "dev"; }

void Scan(const std::string& dir, const RootIdentity& root, std::vector<std::string>& out) {
    const RootIdentity here = IdentityOf(dir);
    const bool atRoot = root.known && here.known && here.device == root.device && here.inode == root.inode;
    for (const auto& entry : platform::ListDirectory(dir)) {
        if (entry.isDirectory && !(atRoot && IsPseudoFolder(entry.name))) Scan(entry.path, root, out);
        if (EndsWithCh10(entry.path)) out.push_back(entry.path);
    }
}

}  // namespace

void SetScanRootForTests(const std::string& path) { ScanRoot() = path.empty() ? "/" : path; }

bool CRunConfig::ScanSourceDir(const std::string& pattern) {
    // A blank directory would list the working directory, and "" + "/*" the
    // whole machine: neither is ever what was asked for.
    const std::string dir = PatternDirectory(pattern);
    if (IsBlank(dir)) return false;
    Scan(dir, IdentityOf(ScanRoot()), sourceFiles);
    return true;
}

bool CRunConfig::RescanSourceDir(const std::string& pattern) {
    nextFileIndex = 0;
    sourceFiles.clear();
    return ScanSourceDir(pattern);
}

std::string CRunConfig::GetSourceFile(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= sourceFiles.size()) return {};
    return sourceFiles[static_cast<std::size_t>(index)];
}

std::vector<FileListRow> CRunConfig::FillFileList(int mode) const {
    std::vector<FileListRow> rows;
    for (const auto& source : sourceFiles) {
        OutputNames names = MakeOutputNames(outputDir, source);
        FileListRow row;
        if (mode == 0) row.name = names.outputPath;
        else if (mode == 1) row.name = names.summaryPath;
        row.size = FormatFileSize(row.name);
        rows.push_back(std::move(row));
    }
    return rows;
}

bool CRunConfig::UsesExternalTmats() const {
    return !tmatsSource.empty() && tmatsSource != kUseInternalTmats && inputType == 1;
}

void CRunConfig::SetOutputNames(const OutputNames& names) {
    outputPath = names.outputPath;
    summaryPath = names.summaryPath;
    tmatsTextPath = names.tmatsTextPath;
}

}  // namespace vexa

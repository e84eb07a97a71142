#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "vexa/engine/run_config.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using vexa::CRunConfig;
using vexa::MakeOutputNames;

TEST(RunConfig, OutputNamesFromSourcePaths) {
    struct Case {
        const char* outDir;
        const char* source;
        const char* stem;  // the names are stem + ".log", ".summary.txt", ".TMATS.tmt"
    } cases[] = {
        {"/out", "/data/run1/f01.ch10", "/out/data.run1.f01"},
        {"/out", "\\data\\run1\\f01.ch10", "/out/data.run1.f01"},
        {"/out", "/f01.ch10", "/out/f01"},                  // root directory: the base name alone
        {"/out", "/data/f01", "/out/data.f01"},             // no extension
        {"/out", "/d/archive.tar.ch10", "/out/d.archive.tar"},  // only the last extension goes
        {"/out", "\\/x/y.ch10", "/out/x.y"},                // "\" first, then "/"
        {"/out", "/a.b/c", "/out/a.b.c"},                   // a dot in the directory is not an extension
        {"out", "rel/dir/f.ch10", "out/rel.dir.f"},
        {"", "/data/run1/f01.ch10", "data.run1.f01"},  // no directory: the working directory, not the root
    };
    for (const auto& c : cases) {
        auto n = MakeOutputNames(c.outDir, c.source);
        EXPECT_EQ(n.outputPath, std::string(c.stem) + ".log") << c.source;
        EXPECT_EQ(n.summaryPath, std::string(c.stem) + ".summary.txt") << c.source;
        EXPECT_EQ(n.tmatsTextPath, std::string(c.stem) + ".TMATS.tmt") << c.source;
    }
}

TEST(RunConfig, SingleFileOutputNamesKeepTheGivenLogName) {
    struct Case {
        const char* outDir;
        const char* logName;
    } cases[] = {
        {"/out", "validate.log"},
        {"/out", "run.txt"},       // any extension stays
        {"/out", "noext"},
        {"out", "a.b.c"},          // no extension is taken off
        {"/out", "sub/file.log"},  // a separator in the name is kept as given
        {"", "validate.log"},      // no directory: the bare name, not "/validate.log"
    };
    for (const auto& c : cases) {
        auto n = MakeOutputNames(c.outDir, c.logName, vexa::OutputNaming::LogNameAsGiven);
        const std::string stem = *c.outDir == '\0' ? std::string(c.logName) : std::string(c.outDir) + "/" + c.logName;
        EXPECT_EQ(n.outputPath, stem) << c.logName;
        EXPECT_EQ(n.summaryPath, stem + ".summary.txt") << c.logName;
        EXPECT_EQ(n.tmatsTextPath, stem + ".TMATS.tmt") << c.logName;
    }
}

TEST(RunConfig, SourceInputTypeNeverGivesAFileTypeToARecorder) {
    struct Case {
        int recorder, drive, expected;
    } cases[] = {
        {0, 5, 0},                               // a file, whatever the drive
        {1, 0, 101},                             // the first recorder drive
        {1, 2, 103},
        {1, -1, vexa::CRunConfig::kDoNotOpen},   // no drives: 100 is a file type
        {1, -40, vexa::CRunConfig::kDoNotOpen},
    };
    for (const auto& c : cases) {
        vexa::CRunConfig config;
        config.sourceIsRecorder = c.recorder;
        config.recorderDrive = c.drive;
        EXPECT_EQ(config.SourceInputType(), c.expected) << c.recorder << " " << c.drive;
    }
}

TEST(RunConfig, FileSizeTexts) {
    ch10fix::TempDir dir;
    struct Case {
        uint64_t size;
        const char* text;
    } cases[] = {
        {0, "0   B"},
        {1023, "1023   B"},
        {1024, "1.00 KB"},
        {0xFFFFF, "1024.00 KB"},
        {0x100000, "1.00 MB"},
        {0x3FFFFFFF, "1024.00 MB"},
        {0x40000000, "1.00 GB"},
        {0x140000000ull, "5.00 GB"},  // beyond 32 bits
    };
    for (const auto& c : cases) {
        std::string path = dir.File("f");
        { std::ofstream(path, std::ios::trunc); }
        fs::resize_file(path, c.size);  // sparse
        EXPECT_EQ(vexa::FormatFileSize(path), c.text) << c.size;
    }
    EXPECT_EQ(vexa::FormatFileSize(dir.File("missing")), "");
    EXPECT_EQ(vexa::FormatFileSize(dir.Path()), "");
}

TEST(RunConfig, ScanListsCh10FilesDepthFirstSorted) {
    ch10fix::TempDir dir;
    fs::create_directories(dir.File("sub/deeper"));
    fs::create_directories(dir.File("z.ch10"));  // a directory ending in .ch10 is listed too, after its content
    for (const char* n : {"b.ch10", "a.CH10", "c.ch10.bak", "sub/x.ch10", "sub/deeper/y.Ch10", "z.ch10/in.ch10",
                          "notes.txt"})
        std::ofstream(dir.File(n)) << "x";
    fs::create_directory_symlink(dir.File("sub"), dir.File("link"));  // not followed

    CRunConfig config;
    config.nextFileIndex = 3;
    config.sourceFiles = {"stale"};
    config.RescanSourceDir(dir.Path() + "\\*");
    std::vector<std::string> expected = {dir.File("a.CH10"),           dir.File("b.ch10"),
                                         dir.File("sub/deeper/y.Ch10"), dir.File("sub/x.ch10"),
                                         dir.File("z.ch10/in.ch10"),    dir.File("z.ch10")};
    EXPECT_EQ(config.sourceFiles, expected);
    EXPECT_EQ(config.nextFileIndex, 0);
    EXPECT_EQ(config.GetSourceFile(1), dir.File("b.ch10"));
    EXPECT_EQ(config.GetSourceFile(6), "");
    EXPECT_EQ(config.GetSourceFile(-1), "");

    config.ScanSourceDir(dir.File("sub") + "/*");  // appends
    EXPECT_EQ(config.sourceFiles.size(), 8u);
}

// A blank directory names nothing to scan (an empty one followed by "/*"
// would be the root): the list is emptied and nothing is listed.
TEST(RunConfig, BlankDirectoryIsNeverScanned) {
    for (const char* pattern : {"/*", "\\*", "*", "", "  /*", "\t\\*"}) {
        SCOPED_TRACE(pattern);
        CRunConfig config;
        config.nextFileIndex = 2;
        config.sourceFiles = {"stale"};
        EXPECT_FALSE(config.RescanSourceDir(pattern));
        EXPECT_TRUE(config.sourceFiles.empty());
        EXPECT_EQ(config.nextFileIndex, 0);
    }
}

// Scanning the root never walks the kernel's pseudo-folders, however the
// root is spelled; folders of those names elsewhere are scanned.
TEST(RunConfig, ScanOfTheRootSkipsItsPseudoFolders) {
    ch10fix::TempDir dir;  // stands in for "/"
    for (const char* sub : {"proc", "sys", "dev", "devices", "data/proc"}) fs::create_directories(dir.File(sub));
    for (const char* n : {"proc/a.ch10", "sys/b.ch10", "dev/c.ch10", "devices/f.ch10", "data/proc/d.ch10", "e.ch10"})
        std::ofstream(dir.File(n)) << "x";
    struct RootGuard {
        explicit RootGuard(const std::string& root) { vexa::SetScanRootForTests(root); }
        ~RootGuard() { vexa::SetScanRootForTests(""); }
    } guard(dir.Path());
    for (const std::string& pattern : {dir.Path() + "/*", dir.Path() + "/./*", dir.File("data") + "/../*"}) {
        SCOPED_TRACE(pattern);
        CRunConfig config;
        EXPECT_TRUE(config.RescanSourceDir(pattern));
        std::vector<std::string> found;
        for (const std::string& f : config.sourceFiles) found.push_back(fs::path(f).lexically_normal().string());
        EXPECT_EQ(found, (std::vector<std::string>{dir.File("data/proc/d.ch10"), dir.File("devices/f.ch10"),
                                                   dir.File("e.ch10")}));
    }
}

TEST(RunConfig, FileListLeavesTheConfigurationAlone) {
    ch10fix::TempDir dir;
    CRunConfig config;
    config.outputDir = dir.Path();
    config.sourceFiles = {"/r/one.ch10", "/r/two.ch10"};
    config.outputPath = "current.log";
    std::ofstream(dir.File("r.one.log")) << std::string(1500, 'x');
    auto rows = config.FillFileList(0);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, dir.File("r.one.log"));
    EXPECT_EQ(rows[0].size, "1.46 KB");
    EXPECT_EQ(rows[1].name, dir.File("r.two.log"));
    EXPECT_EQ(rows[1].size, "");
    EXPECT_EQ(config.FillFileList(1)[1].name, dir.File("r.two.summary.txt"));
    EXPECT_EQ(config.FillFileList(2)[0].name, "");
    EXPECT_EQ(config.outputPath, "current.log");
}

}  // namespace

// The body checks inside whole runs: the generated recordings pass them, and
// planted body findings reach the log, the form's counters and the summary.
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/engine_rig.h"
#include "tools/sample_recording.h"

namespace {

namespace fs = std::filesystem;
using vexa::FormCounter;

struct BodyRun {
    std::string findings;  // the log after its header
    std::string summary;
    std::vector<std::string> boxes;
    bool completed = false;
};

// One run of `source` with the body checks on.
BodyRun RunWithBodyChecks(const std::string& source, const std::string& outDir, int selected = 0, bool simulated = false) {
    rig::Engine e;
    e->runConfig.validateBodies = 1;
    e->runConfig.selectedChannel = selected;
    e->runConfig.validateSimPcm = simulated ? 1 : 0;
    e->runConfig.validateSim1553 = simulated ? 1 : 0;
    BodyRun r;
    EXPECT_TRUE(e.Open(source, outDir));
    e->Validate();
    EXPECT_TRUE(e.AwaitEnd());
    if (!e.host.runEnds.empty()) r.completed = e.host.runEnds[0].completed;
    r.findings = rig::Findings(ch10fix::ReadText(outDir + "/validate.log"));
    r.summary = ch10fix::ReadText(outDir + "/validate.log.summary.txt");
    r.boxes = e.BoxTexts();
    return r;
}

// Error numbers named in a log, in order.
std::vector<int> Numbers(const std::string& log) {
    std::vector<int> out;
    for (std::size_t at = log.find("Error "); at != std::string::npos; at = log.find("Error ", at + 1))
        if (std::isdigit(static_cast<unsigned char>(log[at + 6]))) out.push_back(std::stoi(log.substr(at + 6)));
    return out;
}

// A channel's block of a summary, from its heading to the next blank line.
std::string Block(const std::string& summary, int channel) {
    const std::size_t from = summary.find("Found channel " + std::to_string(channel) + " ");
    if (from == std::string::npos) return "";
    return summary.substr(from, summary.find("\r\n\r\n", from) - from);
}

TEST(GeneratedRecordings, PassEveryBodyCheck) {
    ch10fix::TempDir dir;
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("sample.ch10"), ch10gen::SampleRecording()));
    ASSERT_TRUE(ch10gen::WriteStream(dir.File("stream.ch10"), 3'000'000));
    struct Case {
        const char* name;
        std::string source;
        int selected;
        bool simulated;
        std::vector<int> numbers;  // the sample's planted framing and TMATS findings only
    };
    for (const Case& c : {Case{"sample", dir.File("sample.ch10"), 0, false, {39, 174, 37}},
                          Case{"stream", dir.File("stream.ch10"), 0, false, {}},
                          Case{"stream, simulated PCM", dir.File("stream.ch10"), 2, true, {}},
                          Case{"stream, simulated 1553", dir.File("stream.ch10"), 3, true, {}},
                          Case{"sample, simulated PCM", dir.File("sample.ch10"), 2, true, {39}},
                          Case{"sample, simulated 1553", dir.File("sample.ch10"), 3, true, {39}}}) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File(std::string("out ") + c.name);
        fs::create_directory(out);
        const BodyRun r = RunWithBodyChecks(c.source, out, c.selected, c.simulated);
        EXPECT_TRUE(r.completed);
        EXPECT_TRUE(r.boxes.empty());
        EXPECT_EQ(Numbers(r.findings), c.numbers) << r.findings.substr(0, 4000);
        EXPECT_EQ(r.findings.find("Warning"), std::string::npos);
        // The bus lines show that the 1553 check walked the messages.
        EXPECT_EQ(r.summary.find("Number of messages on Channel B:") != std::string::npos, c.selected != 2);
        if (c.selected != 3) {
            EXPECT_TRUE(Block(r.summary, 2).ends_with(" Total number of errors: 0")) << r.summary;
        }
    }
}

}  // namespace

// stanag-cat as its own process, over the in-process ingest stand-in made to
// cut, stall or lie: a drive or a file that could not be read is an error.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/image_rig.h"
#include "tests/support/program_run.h"
#include "tests/support/standin_rig.h"

namespace {

using namespace qtest;

class StanagCat : public StandinFixture {
protected:
    void SetUp() override {
        StandinFixture::SetUp();
        basic = AddDrive(2, Basic());  // no drive 0: the drive scan ends at once
        ::setenv("ORVANE_INGEST_TIMEOUT_MS", "200", 1);
    }
    void TearDown() override {
        if (server) server->Release();
        StandinFixture::TearDown();
        ::unsetenv("ORVANE_INGEST_TIMEOUT_MS");
    }
    std::string Beta(std::size_t count) const {
        auto from = basic.image.begin() + static_cast<std::ptrdiff_t>(basic.layout.files[0].offset);
        return {from, from + static_cast<std::ptrdiff_t>(count)};
    }
    Built basic;
};

struct Case {
    const char* what;
    std::vector<std::string> args;
    standin::Faults faults;
    int status;
    std::string err;      // in standard error
    std::size_t written;  // Beta.CH10's first bytes on standard output (copies)
};

// Silent means a reply that never comes (until the server stops).
standin::Faults Silent(int32_t command) {
    standin::Faults f;
    f.delay = std::chrono::hours(1);
    f.delay_command = command;
    return f;
}

TEST_F(StanagCat, DriveOrFileThatCannotBeReadFails) {
    std::vector<Case> cases;
    cases.push_back({"listing", {"2"}, {}, 0, "", 0});
    cases.push_back({"cut during the listing", {"2"}, {}, 1, "stanag-cat: cannot read drive 2\n", 0});
    cases.back().faults.disconnect_before = {3, standin::kRead};  // search, search, walk
    cases.push_back({"silent during the listing", {"2"}, {}, 1, "stanag-cat: cannot read drive 2\n", 0});
    cases.back().faults.hold_reply = {3, standin::kRead};
    cases.push_back({"silent at the drive open", {"2"}, Silent(standin::kOpen), 1,
                     "stanag-cat: cannot read drive 2\n", 0});
    cases.push_back({"silent at the block size", {"2"}, Silent(standin::kBlockSize), 1,
                     "stanag-cat: cannot read drive 2\n", 0});
    cases.push_back({"copy", {"2", "Beta.CH10"}, {}, 0, "", kBetaSize});
    cases.push_back({"silent at every open", {"2", "Beta.CH10"}, Silent(standin::kOpen), 1,
                     "stanag-cat: cannot open Beta.CH10 on drive 2\n", 0});
    cases.push_back({"silent at every read", {"2", "Beta.CH10"}, Silent(standin::kRead), 1,
                     "stanag-cat: cannot open Beta.CH10 on drive 2\n", 0});
    // The worker walks the directory (one read) before it serves the file.
    cases.push_back({"negative count in mid-file", {"2", "Beta.CH10"}, {}, 1,
                     "stanag-cat: read of Beta.CH10 failed\n", 2 * 65536});
    cases.back().faults.lying_read = {4 + 3, standin::kRead};
    cases.back().faults.lie_status = 0;
    cases.back().faults.lie_count = -65536;
    cases.push_back({"failed status after the device moved on", {"2", "Beta.CH10"}, {}, 1,
                     "stanag-cat: read of Beta.CH10 failed\n", 2 * 65536});
    cases.back().faults.lying_read = {4 + 3, standin::kRead};
    cases.push_back({"cut in mid-file", {"2", "Beta.CH10"}, {}, 1, "stanag-cat: read of Beta.CH10 failed\n",
                     2 * 65536});
    cases.back().faults.disconnect_before = {4 + 3, standin::kRead};

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server->SetFaults(c.faults);
        std::vector<std::string> argv{STANAG_CAT_PROGRAM};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        ch10fix::ProgramRun run = ch10fix::RunProgram(argv);
        EXPECT_EQ(run.ExitCode(), c.status) << run.err;
        if (!c.err.empty()) {
            EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        }
        if (c.args.size() == 1) {
            // No count of files at all for a drive that could not be read.
            const char* listed = c.status == 0 ? "drive 2: 2 files\n" : " files";
            EXPECT_EQ(run.out.find(listed) != std::string::npos, c.status == 0) << run.out;
        } else {
            EXPECT_TRUE(run.out == Beta(c.written)) << run.out.size();
        }
        server->Stop();  // lets every stalled reply go
        ASSERT_TRUE(server->Start());
    }
}

}  // namespace

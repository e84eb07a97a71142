#include <gtest/gtest.h>

#include <filesystem>

#include "tests/engine/checks/stream_rig.h"
#include "vexa/engine/tmats_content_file.h"

namespace {

using streamrig::Packet;
using streamrig::ReadText;
using streamrig::Rig;
using streamrig::SetupRecord;

namespace fs = std::filesystem;

TEST(TmatsContentFile, WrittenForTheSetupRecordsOfTheSelection) {
    struct Case {
        const char* name;
        int selected;
        uint16_t setupChannel;
        bool written;
    } cases[] = {
        {"all channels", 0, 0, true},
        {"setup channel selected", 4, 4, true},
        {"another channel selected", 5, 0, false},
    };
    for (const auto& c : cases) {
        Rig r({}, c.selected);
        r.s.tmatsRevision = 11;
        r.Feed(SetupRecord(c.setupChannel, 7, "G\\PN:X;R-1\\ID:Y;"));
        EXPECT_EQ(fs::exists(r.tmatsTextPath), c.written) << c.name;
        const std::size_t slot = static_cast<std::size_t>(r.SlotOf(c.setupChannel));
        EXPECT_EQ(r.outputs.listingNames[slot], c.written ? r.tmatsTextPath : "") << c.name;
        EXPECT_EQ(r.written, c.written ? std::vector<std::string>{r.tmatsTextPath} : std::vector<std::string>{})
            << c.name;
        if (c.written) {
            EXPECT_EQ(ReadText(r.tmatsTextPath), "G\\PN:X;\r\nR-1\\ID:Y;\r\n") << c.name;
        }
    }
}

TEST(TmatsContentFile, RewrittenAtEverySetupRecordUnlessAListingIsOpen) {
    Rig r;
    r.s.tmatsRevision = 11;
    r.Feed(SetupRecord(0, 7, "FIRST;LONGER;TEXT;"));
    r.Feed(SetupRecord(0, 7, "SECOND;"));
    EXPECT_EQ(ReadText(r.tmatsTextPath), "SECOND;\r\n");

    // The slot's compact listing is open: the file is left alone.
    Rig open;
    open.s.tmatsRevision = 11;
    ASSERT_NE(open.outputs.ListingFile(0, 0, open.host), nullptr);
    const std::string listing = open.outputs.listingNames[0];
    open.Feed(SetupRecord(0, 7, "A;"));
    EXPECT_FALSE(fs::exists(open.tmatsTextPath));
    EXPECT_EQ(open.outputs.listingNames[0], listing);
    EXPECT_EQ(open.last, vexa::SectionResult::Continue);
}

TEST(TmatsContentFile, OpenFailureSkipsThePacket) {
    Rig r;
    r.s.tmatsRevision = 11;
    r.tmatsTextPath = r.dir.Path();  // a directory cannot be opened for writing
    r.Feed(SetupRecord());
    EXPECT_EQ(r.last, vexa::SectionResult::SkipRest);
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{"Error on opening TMATS packet's content output file"});
    EXPECT_TRUE(r.written.empty());
    // The run goes on: the next packet is checked as usual.
    r.Feed(Packet(0, 0x11));
    EXPECT_EQ(r.last, vexa::SectionResult::Continue);
}

TEST(TmatsContentFile, OnlyThePacketsOwnBytesAreCopied) {
    const std::string text = "G\\106:07;R-1\\ID:REC1;";
    struct Case {
        const char* name;
        uint32_t dataLength;
        std::string file;
    } cases[] = {
        {"data length 2", 2, ""},
        {"data length 8", 8, "G\\10\r\n"},
        // The packet ends 3 filler bytes after the text: they are copied, no more.
        {"beyond the packet", 0xFFFFFFF0u, "G\\106:07;\r\nR-1\\ID:REC1;\r\n"},
    };
    for (const auto& c : cases) {
        Rig r;
        r.s.tmatsRevision = 11;
        auto b = SetupRecord(0, 7, text);
        ch10fix::Put32(b, 8, c.dataLength);
        r.Feed(b);
        const std::size_t filler = b.size() - 28 - text.size();
        ASSERT_EQ(filler, 3u);
        std::string expected = c.file;
        if (c.dataLength == 0xFFFFFFF0u) expected += std::string(filler, '\0') + "\r\n";
        EXPECT_EQ(ReadText(r.tmatsTextPath), expected) << c.name;
    }
}

}  // namespace

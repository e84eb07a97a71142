#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tessin/src/tessin_state.h"
#include "tessin/src/tmats_attributes.h"
#include "tests/support/tmats_builder.h"
#include "tests/tessin/tmats_rig.h"

namespace {

using namespace tmatstest;
using tessin::find_tmats_attribute;
using tessin::split_tmats_packet;

class TmatsAttributes : public ::testing::Test {
protected:
    void SetUp() override { tessin::ResetStateForTests(); }
    void TearDown() override { tessin::ResetStateForTests(); }

    // Splits `text` from a heap buffer of exactly its length.
    int Split(const std::string& text, char* error = nullptr) {
        auto buf = ExactCopy(text);
        return split_tmats_packet(buf.get(), static_cast<int>(text.size()), error);
    }
    const char* Find(const char* key, char* value, char* error = nullptr) {
        auto& st = tessin::State().tmats;
        return find_tmats_attribute(st.packet.get(), st.packetLength, key, value, error);
    }
};

const char* kNoProgramName = "Unable to locate Program Name (G\\106:) or (G\\DSI) attribute in TMATS packet.\r\n";

// 28 bytes that begin b0 b1 and hold TMATS text of their own.
std::string Header28(uint8_t b0, uint8_t b1) {
    std::string h = "..xxG\\106:07;G\\COM:xxxxxxxx;";
    h[0] = static_cast<char>(b0);
    h[1] = static_cast<char>(b1);
    return h;
}

TEST_F(TmatsAttributes, SplitCases) {
    struct Case {
        const char* name;
        std::string text;
        int result;
        std::vector<std::string> attributes;
    } cases[] = {
        {"sorted", "G\\PN:A;G\\106:07;R-1\\N:1;", 0, {"G\\106:07", "G\\PN:A", "R-1\\N:1"}},
        {"leading bytes and line break", std::string("xyz G\\106:07;\r\nG\\PN:A;"), 0, {"G\\106:07", "G\\PN:A"}},
        {"break inside a value", "G\\106:07;G\\COM:first\r\nsecond;", 0, {"G\\106:07", "second"}},
        {"G\\DSI without G\\106", "G\\DSI-1:SRC;R-1\\N:1;", 0, {"G\\DSI-1:SRC", "R-1\\N:1"}},
        {"G\\DSI\\N qualifies", "G\\DSI\\N:1;", 0, {"G\\DSI\\N:1"}},
        {"neither key", "G\\PN:A;R-1\\N:1;", -1, {}},
        {"text before the first G\\", "R-1\\N:1;G\\106:07;", 0, {"G\\106:07"}},
        {"tail after the last ;", "G\\106:07;G\\PN:tail", 0, {"G\\106:07"}},
        {"empty attribute", "G\\106:07;;R-1\\N:1;", 0, {"", "G\\106:07", "R-1\\N:1"}},
        {"0x1F restarts", "G\\106:07;G\\PN:a\x1F" "b;", 0, {"G\\106:07", "b"}},
        {"0x7F is kept", "G\\106:07;G\\PN:a\x7F" "b;", 0, {"G\\106:07", "G\\PN:a\x7F" "b"}},
        {"0x80 restarts", "G\\106:07;G\\PN:a\x80" "b;", 0, {"G\\106:07", "b"}},
        {"0xFF restarts", "G\\106:07;G\\PN:a\xFF" "b;", 0, {"G\\106:07", "b"}},
        {"NUL ends the walk", std::string("G\\106:07;G\\PN:A;\0R-1\\N:1;", 25), 0, {"G\\106:07", "G\\PN:A"}},
        {"high byte before ;", "G\\106:07;G\\PN:\xC3;G\\PN:A;", 0, {"", "G\\106:07", "G\\PN:A"}},
        // The header is skipped only for 25 EB and more than 28 bytes.
        {"25 EB, 29 bytes: header skipped", Header28(0x25, 0xEB) + "G", -1, {}},
        {"25 EB, 28 bytes: kept", Header28(0x25, 0xEB), 0, {"G\\106:07", "G\\COM:xxxxxxxx"}},
        {"EB 25, 37 bytes: kept", Header28(0xEB, 0x25) + "G\\PN:ABC;", 0,
         {"G\\106:07", "G\\COM:xxxxxxxx", "G\\PN:ABC"}},
        {"25 EB, 37 bytes: header skipped", Header28(0x25, 0xEB) + "G\\PN:ABC;", -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ErrorBuffer err;
        ASSERT_EQ(Split(c.text, err.get()), c.result);
        if (c.result == 0) EXPECT_EQ(Attributes(), c.attributes);
        else EXPECT_EQ(err.text(), kNoProgramName);
        EXPECT_TRUE(err.CanaryIntact());
    }
}

TEST_F(TmatsAttributes, GroupIndex) {
    ASSERT_EQ(Split("G\\PN:A;V-1\\X:1;C-1\\Q:2;G\\106:07;R-1\\N:1;H\\CID-1:4;"), 0);
    const auto& g = tessin::State().tmats.groups;  // B G M P R V
    EXPECT_EQ(Attributes(), (std::vector<std::string>{"C-1\\Q:2", "G\\106:07", "G\\PN:A", "H\\CID-1:4", "R-1\\N:1",
                                                      "V-1\\X:1"}));
    EXPECT_EQ(g[1].start, 1);
    EXPECT_EQ(g[1].count, 2);
    EXPECT_EQ(g[4].start, 4);
    EXPECT_EQ(g[4].count, 1);
    EXPECT_EQ(g[5].start, 5);
    EXPECT_EQ(g[5].count, 1);
    EXPECT_EQ(g[0].count, 0);
    EXPECT_EQ(g[2].count, 0);
    EXPECT_EQ(g[3].count, 0);
}

TEST_F(TmatsAttributes, SetupPacketGivesTheSameAttributes) {
    ch10fix::TmatsAttributes list{{"G\\106", "07"}, {"G\\PN", "P"}, {"R-1\\N", "1"}};
    ASSERT_EQ(Split(list.Text()), 0);
    auto bare = Attributes();
    ch10fix::Bytes packet = ch10fix::BuildSetupPacket(list);
    ASSERT_EQ(Split(std::string(packet.begin(), packet.end())), 0);
    EXPECT_EQ(Attributes(), bare);
}

TEST_F(TmatsAttributes, LookupCases) {
    std::string longValue(300, 'v');
    std::string text = "G\\106:07;R-1\\TK1-10:5;R-1\\TK1-1:7;R-1\\N:9;R-1\\N:10;H\\CID-1:44;C-3\\K:c;P-1\\DLN:link;"
                       "G\\COM:\\SRT=12;M-1\\LONG:" + longValue + ";";
    ASSERT_EQ(Split(text), 0);
    struct Case {
        const char* key;
        bool found;
        std::string value;
    } cases[] = {
        {"R-1\\TK1-1:", true, "7"},
        {"R-1\\TK1-10:", true, "5"},
        {"R-1\\TK1-2:", false, ""},
        {"R-1\\N:", true, "10"},  // the first of the duplicates in sorted order
        {"H\\CID-1:", true, "44"},
        {"C-3\\K:", true, "c"},
        {"P-1\\DLN", true, ":link"},  // a prefix without separator
        {"G\\COM:\\SRT=", true, "12"},
        {"M-1\\LONG:", true, std::string(255, 'v')},
        {"B-1\\DLN:", false, ""},  // group absent
        {"X-1\\Q:", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        char value[256];
        std::strcpy(value, "untouched");
        ErrorBuffer err;
        const char* hit = Find(c.key, value, err.get());
        EXPECT_EQ(hit != nullptr, c.found);
        if (c.found) {
            EXPECT_EQ(value, c.value);
            EXPECT_EQ(std::strncmp(hit, c.key, std::strlen(c.key)), 0);
            EXPECT_EQ(err.text(), "");
        } else {
            EXPECT_STREQ(value, "untouched");
            EXPECT_EQ(err.text(), std::string("Unable to locate ") + c.key + " in the TMATS packet.\r\n");
        }
        EXPECT_TRUE(err.CanaryIntact());
    }
}

TEST_F(TmatsAttributes, MissesOverwriteTheErrorTextAndAcceptNull) {
    ASSERT_EQ(Split("G\\106:07;R-1\\N:1;"), 0);
    char value[256] = "keep";
    ErrorBuffer err;
    EXPECT_EQ(Find("X-1\\A:", value, err.get()), nullptr);
    EXPECT_NE(Find("R-1\\N:", value, err.get()), nullptr);  // a hit leaves the text alone
    EXPECT_EQ(err.text(), "Unable to locate X-1\\A: in the TMATS packet.\r\n");
    EXPECT_EQ(Find("X-1\\B:", value, err.get()), nullptr);
    EXPECT_EQ(err.text(), "Unable to locate X-1\\B: in the TMATS packet.\r\n");
    EXPECT_EQ(Find("X-1\\C:", value, nullptr), nullptr);
    EXPECT_STREQ(value, "1");
}

TEST_F(TmatsAttributes, ScanModeWithoutSemicolons) {
    ASSERT_EQ(Split("G\\106:07 R-1\\N:3 G\\PN:X"), 0);
    EXPECT_TRUE(tessin::State().tmats.attributes.empty());
    char value[256] = "";
    const char* hit = Find("R-1\\N:", value);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(std::strncmp(hit, "R-1\\N:", 6), 0);
    EXPECT_STREQ(value, "3 G\\PN:X");  // up to the end of the text
    EXPECT_NE(Find("G\\106:", value), nullptr);
    EXPECT_STREQ(value, "07 R-1\\N:3 G\\PN:X");
    std::strcpy(value, "keep");
    EXPECT_EQ(Find("R-1\\TK1-1:", value), nullptr);
    EXPECT_STREQ(value, "keep");
}

TEST_F(TmatsAttributes, GrownArrayIsReusedAndNotShrunk) {
    std::string big = "G\\106:07;";
    for (int i = 0; i < 12000; ++i) big += "R-1\\X-" + std::to_string(i) + ":" + std::to_string(i) + ";";
    ASSERT_EQ(Split(big), 0);
    auto& st = tessin::State().tmats;
    EXPECT_EQ(st.attributes.size(), 12001u);
    std::size_t grown = st.attributes.capacity();
    EXPECT_GE(grown, 12001u);
    ASSERT_EQ(Split("G\\106:07;G\\PN:A;"), 0);
    EXPECT_EQ(Attributes(), (std::vector<std::string>{"G\\106:07", "G\\PN:A"}));
    EXPECT_EQ(st.attributes.capacity(), grown);
    tessin::free_tmats_attributes();
    EXPECT_EQ(st.attributes.capacity(), 0u);
    EXPECT_EQ(st.packet, nullptr);
}

TEST_F(TmatsAttributes, CallerTextIsNeverWritten) {
    std::string text = "xx G\\106:07;\r\nG\\PN:A\x01" "B;R-1\\N:1;tail";
    auto buf = ExactCopy(text);
    ASSERT_EQ(split_tmats_packet(buf.get(), static_cast<int>(text.size()), nullptr), 0);
    EXPECT_EQ(std::string(buf.get(), text.size()), text);
    ASSERT_NE(process_tmats_packet(buf.get(), static_cast<int>(text.size()), nullptr, nullptr), nullptr);
    EXPECT_EQ(std::string(buf.get(), text.size()), text);
}

}  // namespace

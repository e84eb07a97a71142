// TMATS source files for the services: dictionary, attribute parsing, the
// scan and sort of a whole text, reading files and the utilities log.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tessin/services_test_support.h"
#include "tmats_reader.h"

namespace {

using namespace servicestest;
using tessin::ServiceGroup;
using tessin::TmatsEntry;

struct Row {
    char letter;
    int id;
    std::string key;
    int level;
};

std::vector<Row> GoldenRows() {
    std::ifstream in(std::string(TMATS_GOLDEN_DIR) + "/dictionary_rows.txt");
    std::vector<Row> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Row r{};
        fields >> r.letter >> r.id >> r.key >> r.level;
        rows.push_back(r);
    }
    return rows;
}

// Parses one attribute from an exact heap copy, so an over-read shows.
struct Parsed {
    std::unique_ptr<char[]> text;
    std::vector<TmatsEntry> entries;
};

Parsed ParseOne(const std::string& attribute) {
    Parsed p;
    p.text = tmatstest::ExactCopy(attribute + std::string(1, '\0'));
    tessin::State().services.entries.clear();
    tessin::parse_tmats_attribute(p.text.get());
    p.entries = tessin::State().services.entries;
    return p;
}

std::string Indices(const TmatsEntry& e) {
    std::string s;
    for (uint16_t i : e.index) s += std::to_string(i) + " ";
    return s;
}

class TmatsDictionary : public ServicesTest {};

TEST_F(TmatsDictionary, EveryRowParsesToItsIdAndLevel) {
    std::vector<Row> rows = GoldenRows();
    ASSERT_EQ(rows.size(), 341u);
    std::map<char, int> perGroup;
    for (const Row& r : rows) {
        EXPECT_EQ(r.id, perGroup[r.letter]++) << r.key;  // ids 0..n-1 in stored order
        std::string code = r.key.substr(1);
        std::string attribute = r.letter == 'G' ? "G\\" + code + ":v" : std::string(1, r.letter) + "-1\\" + code + ":v";
        Parsed p = ParseOne(attribute);
        ASSERT_EQ(p.entries.size(), 1u) << attribute;
        EXPECT_EQ(p.entries[0].id, r.id) << attribute;
        EXPECT_EQ(p.entries[0].level, r.level) << attribute;
        EXPECT_STREQ(p.entries[0].code, code.c_str());
        EXPECT_STREQ(p.entries[0].value, "v");
    }
    EXPECT_EQ(perGroup, (std::map<char, int>{{'G', 22}, {'B', 37}, {'C', 61}, {'P', 77}, {'D', 62}, {'R', 82}}));
}

TEST_F(TmatsDictionary, NearMissesAreNotFound) {
    for (const char* key : {"PMF", "PMF6", "BBMID", "pmf2", "", "P", "PMF2 "}) {
        TmatsEntry e;
        EXPECT_EQ(tessin::lookup_attribute_dictionary(e, key), -1) << key;
    }
    TmatsEntry e;
    EXPECT_EQ(tessin::lookup_attribute_dictionary(e, "PMF2"), 16);
}

TEST_F(TmatsDictionary, KeyOrderComparesTheFirstCharacterSigned) {
    EXPECT_LT(tessin::compare_dictionary_code("\xB0X", "AX"), 0);  // signed: 0xB0 is negative
    EXPECT_GT(tessin::compare_dictionary_code("A\xB0", "AX"), 0);  // then unsigned
    EXPECT_EQ(tessin::compare_dictionary_code("A\xB0", "A\xB0"), 0);
    EXPECT_EQ(tessin::compare_dictionary_code("AB", "ABC"), -1);
}

class TmatsReader : public ServicesTest {};

struct ParseCase {
    const char* input;
    char letter;
    int group;
    const char* code;
    const char* indices;
    int id;
    int level;
    const char* value;
};

TEST_F(TmatsReader, ParsesOneAttribute) {
    std::string longCode = "P-1\\" + std::string(40, 'A') + ":1";
    const ParseCase cases[] = {
        {"P-1\\MF2:160", 'P', 1, "MF2", "0 0 0 0 0 ", 16, 0, "160"},
        {"B-1\\MID-1-2:3", 'B', 1, "MID", "1 2 0 0 0 ", 9, 3, "3"},
        {"B-2\\NBS\\N:2", 'B', 2, "NBS\\N", "0 0 0 0 0 ", 2, 1, "2"},
        {"C-12\\CO:0.5", 'C', 12, "CO", "0 0 0 0 0 ", 42, 2, "0.5"},
        {"P-1\\SF4-1-0-5:7", 'P', 1, "SF4", "1 0 0 0 0 ", 43, 3, "7"},
        {"P-1\\SF4-1-2-3-4-5-6:7", 'P', 1, "SF4", "1 2 3 4 5 ", 43, 3, "7"},
        {"P-1\\MFW1-70000:1", 'P', 1, "MFW1", "65535 0 0 0 0 ", 24, 1, "1"},
        {"P-1\\DLN:A:B", 'P', 1, "DLN", "0 0 0 0 0 ", 0, 0, "A:B"},
        {"C-1\\MN3:\xB0" "C", 'C', 1, "MN3", "0 0 0 0 0 ", 15, 0, "\xB0" "C"},
        {"G\\DSI\\N:4", 'G', 1, "DSI\\N", "0 0 0 0 0 ", 14, 1, "4"},
    };
    for (const ParseCase& c : cases) {
        Parsed p = ParseOne(c.input);
        ASSERT_EQ(p.entries.size(), 1u) << c.input;
        const TmatsEntry& e = p.entries[0];
        EXPECT_EQ(e.letter, c.letter) << c.input;
        EXPECT_EQ(e.group, c.group) << c.input;
        EXPECT_STREQ(e.code, c.code) << c.input;
        EXPECT_EQ(Indices(e), c.indices) << c.input;
        EXPECT_EQ(e.id, c.id) << c.input;
        EXPECT_EQ(e.level, c.level) << c.input;
        EXPECT_STREQ(e.value, c.value) << c.input;
    }
    for (const std::string& dropped : {std::string("P-0\\MF2:1"), std::string("X-1\\AB:1"), std::string("P-1\\ZZ:1"),
                                       std::string("P-1MF2:1"), std::string("P-1\\MF2"), std::string("P"),
                                       std::string("P1\\MF2:1"), longCode})
        EXPECT_TRUE(ParseOne(dropped).entries.empty()) << dropped;
}

TEST_F(TmatsReader, FilterDropsOtherGroups) {
    tessin::State().services.filter = "RBDC";
    EXPECT_TRUE(ParseOne("G\\PN:x").entries.empty());
    EXPECT_EQ(ParseOne("R-1\\TK1-1:3").entries.size(), 1u);
}

std::vector<std::string> Kept(const std::string& text) {
    std::string copy = text;
    copy.append(1024, '\0');
    EXPECT_EQ(tessin::sort_tmats_attributes(copy.data(), static_cast<int>(text.size())), 0);
    std::vector<std::string> out;
    for (const TmatsEntry& e : tessin::State().services.entries)
        out.push_back(std::string(1, e.letter) + std::to_string(e.group) + "\\" + e.code + "-" + Indices(e) + "=" +
                      e.value);
    return out;
}

TEST_F(TmatsReader, ScanAndSort) {
    struct Case {
        std::string text;
        std::vector<std::string> kept;
    };
    const std::string header("\x25\xEB\0\0\x10\0\0\0P-1\\MF1:3;", 18);
    const Case cases[] = {
        {"P-1\\MF1:3;G\\PN:x;P-1\\MF2:5;", {"G1\\PN-0 0 0 0 0 =x", "P1\\MF2-0 0 0 0 0 =5"}},
        {header + "G\\PN:x;P-1\\MF2:5;", {"G1\\PN-0 0 0 0 0 =x", "P1\\MF2-0 0 0 0 0 =5"}},
        {"G\\PN:x;\r\nP-1\\MF1:3;\r\n", {"G1\\PN-0 0 0 0 0 =x", "P1\\MF1-0 0 0 0 0 =3"}},
        {"G\\PN:x;P-1\\MF1:3\r\nP-1\\MF2:5;", {"G1\\PN-0 0 0 0 0 =x", "P1\\MF2-0 0 0 0 0 =5"}},
        {"G\\PN:x; P-1\\MF1:3;P-1\\MF2:5;", {"G1\\PN-0 0 0 0 0 =x", "P1\\MF2-0 0 0 0 0 =5"}},
        {std::string("G\\PN:x;P-1\\MF1:3;\0P-1\\MF2:5;", 28), {"G1\\PN-0 0 0 0 0 =x", "P1\\MF1-0 0 0 0 0 =3"}},
        {"G\\PN:x;B-1\\MID-1-1:7;B-1\\NMS\\N-1:2;B-1\\BT-1:1553;",
         {"B1\\BT-1 0 0 0 0 =1553", "B1\\NMS\\N-1 0 0 0 0 =2", "B1\\MID-1 1 0 0 0 =7", "G1\\PN-0 0 0 0 0 =x"}},
        {"G\\PN:x;P-2\\F1:8;P-1\\MF2:5;P-1\\MF1:4;P-1\\F1:6;",
         {"G1\\PN-0 0 0 0 0 =x", "P1\\F1-0 0 0 0 0 =6", "P1\\MF1-0 0 0 0 0 =4", "P1\\MF2-0 0 0 0 0 =5",
          "P2\\F1-0 0 0 0 0 =8"}},
        {"G\\PN:x;P-1\\MF1:1;P-1\\MF1:2;", {"G1\\PN-0 0 0 0 0 =x", "P1\\MF1-0 0 0 0 0 =1", "P1\\MF1-0 0 0 0 0 =2"}},
        {"G\\PN:x;P-1\\ZZ:1;P-1\\MF1:2;", {"G1\\PN-0 0 0 0 0 =x", "P1\\MF1-0 0 0 0 0 =2"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Kept(c.text), c.kept) << c.text;
}

TEST_F(TmatsReader, GroupRanges) {
    Kept("G\\PN:x;R-1\\TK1-1:3;P-1\\F1:8;P-2\\F1:8;C-1\\DCN:A;");
    const std::pair<ServiceGroup, int> expected[] = {{ServiceGroup::B, 0}, {ServiceGroup::C, 1}, {ServiceGroup::D, 0},
                                                     {ServiceGroup::G, 1}, {ServiceGroup::P, 2}, {ServiceGroup::R, 1}};
    for (auto [group, count] : expected) {
        tessin::EntryRange r = tessin::GroupEntries(group);
        ASSERT_EQ(r.count, count) << static_cast<int>(group);
        for (const TmatsEntry& e : r) EXPECT_EQ(e.letter, tessin::kServiceGroupLetters[static_cast<int>(group)]);
    }
}

TEST_F(TmatsReader, NoProgramNameFailsTheSort) {
    for (std::string text : {std::string("P-1\\F1:8;"), std::string("xG\\PN"), std::string("G\\PN:")}) {
        std::string copy = text + std::string(1024, '\0');
        EXPECT_EQ(tessin::sort_tmats_attributes(copy.data(), static_cast<int>(text.size())), -1) << text;
    }
}

TEST_F(TmatsReader, ReadsFiles) {
    std::string shortFile = WriteText("short.tmt", "G\\PN:x;" + std::string(511 - 7, '\n'));
    std::string exact = WriteText("exact.tmt", "G\\PN:x;" + std::string(512 - 7, '\n'));
    std::string big(600 * 1024, 'x');
    big[0] = '\x25';
    big[1] = '\xEB';
    std::string recording = WriteText("big.ch10", big);
    struct Case {
        const char* name;
        const char* path;
        int result;
        int length;
    };
    const Case cases[] = {
        {"no path", nullptr, -1, 0},
        {"empty path", "", -1, 0},
        {"unopenable", "/nonexistent/dir/x.tmt", -1, 0},
        {"511 bytes", shortFile.c_str(), -1, 0},
        {"512 bytes", exact.c_str(), 0, 512},
        {"a recording reads 512 KiB", recording.c_str(), 0, 524288},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tessin::ReadTMATS(c.path, 0), c.result) << c.name;
        if (c.result == 0) {
            EXPECT_EQ(tessin::State().services.textLength, c.length) << c.name;
        }
    }
}

TEST_F(TmatsReader, SortFailureReleasesEverything) {
    std::string good = Write("good.tmt", {{"G\\PN", "x"}, {"P-1\\F1", "8"}});
    std::string bad = WriteText("bad.tmt", std::string(600, 'y'));
    ASSERT_EQ(tessin::ReadTMATS(good.c_str(), 1), 0);
    EXPECT_EQ(tessin::State().services.entries.size(), 2u);
    EXPECT_EQ(tessin::ReadTMATS(bad.c_str(), 1), -1);
    EXPECT_EQ(tessin::State().services.text, nullptr);
    EXPECT_EQ(tessin::State().services.textLength, 0);
    EXPECT_TRUE(tessin::State().services.entries.empty());
    EXPECT_EQ(tessin::GroupEntries(ServiceGroup::G).count, 0);
    ASSERT_EQ(tessin::ReadTMATS(good.c_str(), 1), 0);
    EXPECT_EQ(tessin::GroupEntries(ServiceGroup::P).count, 1);
    tessin::free_tmats_buffer();
    tessin::free_tmats_buffer();
    EXPECT_EQ(tessin::GroupEntries(ServiceGroup::P).count, 0);
}

TEST_F(TmatsReader, UtilitiesLog) {
    ch10fix::WriteFile(LogPath(dir_), ch10fix::Bytes(100, 'z'));
    tessin::OpenUtilitiesLog();
    std::string path = Write("a.tmt", {{"G\\PN", "Prog"}, {"B-1\\MID-1-2", "3"}, {"P-1\\MF2", "160"}});
    ASSERT_EQ(tessin::ReadTMATS(path.c_str(), 1), 0);
    EXPECT_EQ(tessin::ReadTMATS("", 1), -1);
    tessin::FlushUtilitiesLog();
    const std::string first = "G-1\\PN:Prog\r\nP-1\\MF2:160\r\nB-1\\MID-1-2:3\r\n";
    EXPECT_EQ(Log(), first + "ReadTMATS: No input file specified\r\n");
    tessin::OpenUtilitiesLog();  // stays the same file
    ASSERT_EQ(tessin::ReadTMATS(path.c_str(), 1), 0);
    tessin::FlushUtilitiesLog();
    EXPECT_EQ(Log(), first + "ReadTMATS: No input file specified\r\n" + first);
    tessin::ResetStateForTests();
    tessin::OpenUtilitiesLog();
    tessin::FlushUtilitiesLog();
    EXPECT_EQ(Log(), "");
}

}  // namespace

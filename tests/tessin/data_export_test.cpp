// ExportData: CSV rows from sample files, the log's lines, the refusals, and
// forward skips that must not change a single cell.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <string>
#include <vector>

#include "data_export.h"
#include "tests/tessin/sample_file_writer.h"
#include "tests/tessin/services_test_support.h"
#include "tessin.h"

namespace {

using namespace servicestest;
using exporttest::Sample;
using exporttest::SampleFile;

constexpr int64_t kDay = 86400000000LL;
constexpr int64_t kSecond = 1000000;

class ExportDataTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        ::mkdir(dir_.File("in").c_str(), 0755);
        ::mkdir(dir_.File("in/list").c_str(), 0755);
    }
    std::string SamplePath(const std::string& name) { return dir_.File("in/list/" + name + "_M.DAT"); }
    void Param(const std::string& name, const SampleFile& f) {
        ASSERT_TRUE(exporttest::WriteSampleFile(SamplePath(name), f));
    }
    std::string List(const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& n : names) text += n + "\n";
        return WriteText("list.txt", text);
    }
    int Run(const std::string& start, const std::string& end, int interval) {
        return ExportData(dir_.File("in").c_str(), Out().c_str(), start.c_str(), end.c_str(), interval,
                          dir_.File("list.txt").c_str());
    }
    std::string Out() const { return dir_.File("out.csv"); }
    std::string ExportLog() const { return ch10fix::ReadText(dir_.File("tessin.log")); }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        std::istringstream in(ch10fix::ReadText(Out()));
        std::string line;
        while (std::getline(in, line)) rows.push_back(line);
        return rows;
    }
    // The cells of one column, header excluded.
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> cells;
        std::vector<std::string> rows = Rows();
        for (std::size_t r = 1; r < rows.size(); ++r) {
            std::string row = rows[r];
            if (!row.empty() && row.back() == '\r') row.pop_back();
            std::size_t start = 0;
            for (int c = 0; c < column; ++c) start = row.find(',', start) + 1;
            cells.push_back(row.substr(start, row.find(',', start) - start));
        }
        return cells;
    }
};

SampleFile Ints(std::vector<Sample> samples, int64_t base = kDay) {
    SampleFile f;
    f.timeBase = base;
    f.samples = std::move(samples);
    return f;
}

TEST_F(ExportDataTest, GoldenCsvAndLog) {
    Param("INTP", Ints({{0, -5}, {kSecond, 7}, {2 * kSecond, 9}}));
    SampleFile d;
    d.kind = 2;
    d.timeBase = kDay;
    d.samples = {{kSecond / 2, 3.25}, {3 * kSecond / 2, 0.1}, {2 * kSecond, 1e20}};
    Param("DBL", d);
    Param("ABCDEFGHIJKLMNOP", Ints({{0, 1}}));
    SampleFile cut = Ints({{0, 1}});
    cut.headerBytes = 100;
    Param("SHORT", cut);
    List({"INTP", "ABCDEFGHIJKLMNOP", "MISSING", "SHORT", "DBL"});
    ASSERT_EQ(Run("001:00:00:00:000000", "001:00:00:02:000000", 1000000), 0);
    EXPECT_STREQ(GetErrMsg(), "");
    EXPECT_EQ(ch10fix::ReadText(Out()),
              "IRIG_TIME,DELTA_IRIG,INTP,DBL\r\n"
              "001:00:00:00:000000,0.000000,-5,3.25\r\n"
              "001:00:00:01:000000,1.000000,7,0.1\r\n"
              "001:00:00:02:000000,2.000000,9,1e+20\r\n");
    std::string log = ExportLog();
    for (const std::string& line :
         {std::string("numrecouttot=3\r\n"), std::string("parameter[0]: INTP\r\n"),
          std::string("parameter[1]: ABCDEFGHIJKLMNOP\r\n"), std::string("parameter[1]: MISSING\r\n"),
          "Error opening the Measurand/Sample File: " + SamplePath("MISSING") + ", errno=",
          std::string("parameter[1]: SHORT\r\n"),
          "Error reading the MEAS_INFO_ENTRY data from file " + SamplePath("SHORT") + ": ",
          std::string("parameter[1]: DBL\r\n")})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_EQ(log.find("EOF"), std::string::npos);
}

// Which sample serves each row.
TEST_F(ExportDataTest, RowValues) {
    struct Case {
        const char* name;
        SampleFile file;
        std::string end;
        std::vector<std::string> cells;
        int eofLines;
    } cases[] = {
        {"later sample", Ints({{0, 1}, {3 * kSecond / 2, 2}, {3 * kSecond, 3}}), "001:00:00:02:000000",
         {"1", "2", "3"}, 0},
        {"two rows before a sample", Ints({{3 * kSecond, 4}}), "001:00:00:03:000000", {"4", "4", "4", "4"}, 0},
        {"end of data repeats the last", Ints({{0, 1}, {kSecond, 2}}), "001:00:00:04:000000",
         {"1", "2", "2", "2", "2"}, 3},
        {"nothing passed before the end", Ints({}), "001:00:00:01:000000", {"0", "0"}, 2},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        Param("P", c.file);
        List({"P"});
        ASSERT_EQ(Run("001:00:00:00:000000", c.end, 1000000), 0);
        EXPECT_EQ(Column(2), c.cells);
        std::string log = ExportLog();
        int eof = 0;
        for (std::size_t at = log.find(" EOF at "); at != std::string::npos; at = log.find(" EOF at ", at + 1)) ++eof;
        EXPECT_EQ(eof, c.eofLines);
    }
}

TEST_F(ExportDataTest, ElevenRowsAndPartialTail) {
    SampleFile f = Ints({{0, 1}, {kSecond, 2}});
    f.tailBytes = 7;
    Param("P", f);
    List({"P"});
    ASSERT_EQ(Run("001:00:00:00:000000", "001:00:00:10:000000", 1000000), 0);
    std::vector<std::string> rows = Rows();
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[11], "001:00:00:10:000000,10.000000,2\r");
    EXPECT_NE(ExportLog().find("i=0 EOF at numrecout=10.\r\n"), std::string::npos);
}

TEST_F(ExportDataTest, RowCountsAndLongSpans) {
    Param("P", Ints({{0, 1}}));
    List({"P"});
    // Two hours at one second: elapsed times past 2,147 s stay right.
    ASSERT_EQ(Run("001:00:00:00:000000", "001:02:00:00:000000", 1000000), 0);
    std::vector<std::string> rows = Rows();
    ASSERT_EQ(rows.size(), 7202u);
    EXPECT_EQ(rows.back(), "001:02:00:00:000000,7200.000000,1\r");
    EXPECT_EQ(rows[2149].substr(0, 32), "001:00:35:48:000000,2148.000000,");
    // Beyond 65,535 rows: the count is logged whole, the rows stop there.
    ASSERT_EQ(Run("001:00:00:00:000000", "001:00:00:00:070000", 1), 0);
    EXPECT_EQ(Rows().size(), 65536u);
    EXPECT_NE(ExportLog().find("numrecouttot=70001\r\n"), std::string::npos);
}

TEST_F(ExportDataTest, Refusals) {
    Param("P", Ints({{0, 1}}));
    List({"P"});
    const std::string ok = "001:00:00:00:000000";
    struct Case {
        const char* start;
        const char* end;
        int interval;
        std::string error;
    } cases[] = {
        {ok.c_str(), ok.c_str(), 0, "Invalid interval: 0"},
        {ok.c_str(), ok.c_str(), -5, "Invalid interval: -5"},
        {"1:0", ok.c_str(), 1, "Error parsing the time string: 1:0"},
        {nullptr, ok.c_str(), 1, "Error parsing the time string: "},
        {"001:00:00:01:000000", ok.c_str(), 1, "End time is before start time."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(ExportData(dir_.File("in").c_str(), Out().c_str(), c.start, c.end, c.interval,
                             dir_.File("list.txt").c_str()),
                  -1);
        EXPECT_EQ(std::string(GetErrMsg()), c.error);
        struct stat st {};
        EXPECT_NE(::stat(Out().c_str(), &st), 0);
    }
    EXPECT_EQ(ExportData(dir_.File("in").c_str(), Out().c_str(), ok.c_str(), ok.c_str(), 1,
                         dir_.File("nolist.txt").c_str()),
              -2);
    EXPECT_EQ(ch10fix::ReadText(Out()), "");
    List({"NOFILE"});
    EXPECT_EQ(Run(ok, ok, 1), -1);
    EXPECT_STREQ(GetErrMsg(), "No parameters to process.");
}

TEST_F(ExportDataTest, AtMost253Parameters) {
    std::vector<std::string> names;
    for (int i = 0; i < 254; ++i) {
        names.push_back("P" + std::to_string(i));
        Param(names.back(), Ints({{0, static_cast<double>(i)}}));
    }
    List(names);
    ASSERT_EQ(Run("001:00:00:00:000000", "001:00:00:00:000000", 1), 0);
    std::vector<std::string> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Column(254), std::vector<std::string>{"252"});
    EXPECT_EQ(rows[0].find(",P253"), std::string::npos);
    EXPECT_NE(ExportLog().find("parameter[252]: P252\r\n"), std::string::npos);
    EXPECT_EQ(ExportLog().find("P253"), std::string::npos);
}

// Forward skips only save time: every cell equals a plain forward scan.
TEST_F(ExportDataTest, SkipsMatchAForwardScan) {
    struct Case {
        const char* name;
        std::vector<Sample> samples;
        int intervalUs;
        std::string end;
    } cases[] = {
        {"sparse after dense", {}, 700000, "001:00:01:40:000000"},
        {"skip past the end", {}, 2000000, "001:00:00:30:000000"},
    };
    for (int k = 0; k < 1000; ++k) cases[0].samples.push_back({k * 1000LL, static_cast<double>(k)});
    for (int k = 1; k <= 100; ++k) cases[0].samples.push_back({k * kSecond, 1000.0 + k});
    for (int k = 0; k < 1200; ++k) cases[1].samples.push_back({k * 1000LL, static_cast<double>(k)});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        Param("P", Ints(c.samples));
        List({"P"});
        ASSERT_EQ(Run("001:00:00:00:000000", c.end, c.intervalUs), 0);
        std::vector<std::string> expected;
        int64_t end = 0;
        ASSERT_TRUE(tessin::parse_time_string(c.end.c_str(), end));
        for (int64_t t = kDay; t <= end; t += c.intervalUs) {
            std::string cell = std::to_string(static_cast<int>(c.samples.back().value));
            for (const Sample& s : c.samples)
                if (kDay + s.offset >= t) {
                    cell = std::to_string(static_cast<int>(s.value));
                    break;
                }
            expected.push_back(cell);
        }
        EXPECT_EQ(Column(2), expected);
    }
}

// Sample times that 64 bits cannot hold: a file whose first samples have
// none is left out as an unreadable one; a later block of them ends the
// data; spreads and gaps beyond 64 bits cross no row.
TEST_F(ExportDataTest, TimesBeyondRange) {
    constexpr int64_t kMax = INT64_MAX, kMin = INT64_MIN;
    SampleFile lateBad = Ints({});
    for (int i = 0; i < 100; ++i) lateBad.samples.push_back({i * 10000, static_cast<double>(i)});
    lateBad.samples.push_back({kMax - 5, 555});
    lateBad.samples.push_back({kMax - 4, 556});
    struct Case {
        const char* name;
        SampleFile file;
        std::string header;
        std::vector<std::string> column;  // the last column's cells
        const char* logged;
    } cases[] = {
        {"time base plus offset", Ints({{0, 1}, {100, 2}}, kMax - 10), "IRIG_TIME,DELTA_IRIG,GOOD", {"5", "5", "5"},
         "_M.DAT: sample times beyond range"},
        {"a later block", lateBad, "IRIG_TIME,DELTA_IRIG,GOOD,P", {"0", "99", "99"},
         "i=1 sample times beyond range: data ends here."},
        {"a block's spread", Ints({{kMin + 1, 1}, {kMax - 1, 2}}, 0), "IRIG_TIME,DELTA_IRIG,GOOD,P", {"2", "2", "2"},
         "parameter[1]: P"},
        {"the gap to the row", Ints({{kMin + 1, 1}}, 0), "IRIG_TIME,DELTA_IRIG,GOOD,P", {"1", "1", "1"},
         "i=1 EOF at numrecout=0."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Param("GOOD", Ints({{0, 5}}));
        Param("P", c.file);
        List({"GOOD", "P"});
        ASSERT_EQ(Run("001:00:00:00:000000", "001:00:00:02:000000", 1000000), 0);
        std::vector<std::string> rows = Rows();
        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows[0], c.header + "\r");  // a text file's line end
        EXPECT_EQ(Column(c.header.back() == 'P' ? 3 : 2), c.column);
        EXPECT_NE(ExportLog().find(c.logged), std::string::npos) << ExportLog();
    }
}

TEST(ExportTimes, ParseFormatAndTrim) {
    struct Case {
        const char* text;
        int64_t micros;
        std::string back;
    } cases[] = {
        {"001:00:00:00:000000", kDay, "001:00:00:00:000000"},
        {"123:23:59:58:123456", 123 * kDay + 86398 * kSecond + 123456, "123:23:59:58:123456"},
        {"000:00:00:00:000007", 7, "000:00:00:00:000007"},
    };
    for (const Case& c : cases) {
        int64_t v = 0;
        ASSERT_TRUE(tessin::parse_time_string(c.text, v));
        EXPECT_EQ(v, c.micros);
        EXPECT_EQ(tessin::format_time_string(v), c.back);
    }
    int64_t v = 0;
    EXPECT_FALSE(tessin::parse_time_string("001:00:00:00", v));
    // Fields whose sum, or any row time made from it, leaves 64 bits.
    for (const char* text : {"1e30:00:00:00:000000", "001:inf:0:00:000000", "001:00:00:00:nan000"})
        EXPECT_FALSE(tessin::parse_time_string(text, v)) << text;
    EXPECT_EQ(tessin::trim_field("  A B\tC"), "AB");
    EXPECT_EQ(tessin::trim_field("NAME|x"), "NAME");
    EXPECT_EQ(tessin::trim_field("X\r\n"), "X");
}

}  // namespace

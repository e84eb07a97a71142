#pragma once
// The Channel Details fixture: the recording behind the hand-written sheet
// call log, the log itself and the sheet a log leaves.
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/ch10_fixture.h"
#include "tests/support/time_packet_builder.h"
#include "tests/support/tmats_builder.h"

namespace uitest::details {

using ch10fix::TmatsAttributes;

inline const std::vector<std::string> kCaptions = {
    "Channel ID",  "Data Type",      "Data Source ID", "Bit Rate",       "Polarity",
    "Clock Polarity", "Word Length", "Data Alignment", "# Minor Frames", "Words per Minor Frame",
    "Data Mode"};

inline std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The sheet a call log leaves: texts set outside the rows, or with no
// current row or column, are dropped as the grid drops them.
struct ReplayedSheet {
    int rows = 0;
    std::map<std::pair<int, int>, std::string> cells;  // (row, column) from 1
};
inline ReplayedSheet Replay(const std::vector<std::string>& calls) {
    ReplayedSheet sheet;
    int row = 0, column = 0;
    for (const std::string& call : calls) {
        const auto blank = call.find(' ');
        const std::string op = call.substr(0, blank);
        const std::string arg = blank == std::string::npos ? "" : call.substr(blank + 1);
        if (op == "SetMaxRows") sheet.rows = std::stoi(arg);
        else if (op == "SetRow") row = std::stoi(arg);
        else if (op == "SetCol") column = std::stoi(arg);
        else if (op == "SetText" && row >= 1 && row <= sheet.rows && column >= 1 && column <= 11)
            sheet.cells[{row, column}] = arg;
    }
    return sheet;
}

inline void WriteRecording(const std::string& path, const ch10fix::Bytes& setup) {
    ch10fix::Bytes bytes = setup;
    ch10fix::Append(bytes, ch10fix::BuildTimePacket({}));
    ASSERT_TRUE(ch10fix::WriteFile(path, bytes));
}

inline TmatsAttributes& Channel(TmatsAttributes& t, int n, const std::string& word) {
    const std::string s = std::to_string(n);
    return t.Add("R-1\\TK1-" + s, s).Add("R-1\\CDT-" + s, word);
}

// Program FIXTURE01: seven recorder channels, one disabled, and an event entry.
inline TmatsAttributes GoldenTmats() {
    TmatsAttributes t{{"G\\PN", "FIXTURE01"}, {"G\\106", "07"}, {"R-1\\N", "7"}};
    Channel(t, 1, "TIMEIN");
    Channel(t, 2, "PCMIN").Add("R-1\\PDP-2", "P");
    Channel(t, 3, "1553IN");
    Channel(t, 4, "ANAIN").Add("R-1\\CHE-4", "F");
    Channel(t, 5, "FCIN");
    Channel(t, 6, "XYZIN");
    Channel(t, 7, "PCMIN");
    t.Add("R-1\\EV\\TK1", "8").Add("R-1\\EV\\E", "T");
    t.Add("P-1\\DLN", "PCM1").Add("P-1\\D2", "1000000").Add("P-1\\D4", "I").Add("P-1\\F1", "16");
    t.Add("P-1\\F2", "L").Add("P-1\\MF\\N", "4").Add("P-1\\MF1", "64");
    t.Add("P-2\\DLN", "PCM2").Add("P-2\\D4", "N").Add("P-2\\F2", "M");
    return t;
}

// The hand-written log of the sheet calls for GoldenTmats().
inline std::vector<std::string> GoldenCalls() { return ReadLines(std::string(UI_GOLDEN_DIR) + "/channel_details_calls.txt"); }

}  // namespace uitest::details

#pragma once
// The measurand database tables ProcessTMATS hands out, and the pair-set
// tables they link to.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tessin.h"

// Only what the table build reads of a pair set and its pairs.
struct DB_IP_HDR {
    char Name[33];
    char Kind;
    char Name2[24];
    int32_t FirstDetail;  // index into the details, -1 when none
    int16_t Count;
};

namespace tessin {

struct PairDetail {
    char Name[34];
    int16_t PairNumber;
    double EngineeringValue;
    double TelemetryValue;
};

struct MeasurandTables {
    std::vector<DB_MEAS_LIST_ENTRY> list;
    std::vector<DB_TDEF_MEAS> meas;
    std::vector<DB_TDEF_SAMPLE> samples;
    std::vector<DB_TDEF_MEASRU> measru;
    std::vector<DB_TDEF_JOIN> joins;
    std::vector<std::unique_ptr<char[]>> joinTexts;
    std::vector<std::vector<DB_TDEF_FRAGMENT>> fragments;
    std::vector<DB_IP_HDR> pairSets;
    std::vector<PairDetail> pairs;
};

// The tables of the records given; "" or the failure's last-error text.
std::string BuildMeasurandTables(const PCM_FORMAT_INFO* formats, int formatCount, const BUS_INFO* buses,
                                 int busCount, MeasurandTables& out);

// The channel configuration file's name for a TMATS path.
std::string ConfigFileName(const std::string& tmatsPath);

// Numbers the labelled buses per channel (into ChannelPosition) and
// returns the channel configuration text.
std::string ChannelConfigText(const PCM_FORMAT_INFO* formats, int formatCount, BUS_INFO* buses, int busCount);

}  // namespace tessin

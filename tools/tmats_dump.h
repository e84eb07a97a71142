#pragma once
// Text dump of the PCM format and bus records, over tessin.h alone: every
// field of a record as "Name=value", table entries as "Table[i].Field=value"
// (fields that are 0 or empty left out), one per line.
#include <cstdint>
#include <string>

#include "tessin.h"

namespace tmatsdump {

// Every format with its tables, then the shared conversion tables once.
std::string DumpFormats(const PCM_FORMAT_INFO* formats, int count);
// Every bus with its tables; `formats` (may be NULL) is checked for the
// same shared tables.
std::string DumpBuses(const BUS_INFO* buses, int count, const PCM_FORMAT_INFO* formats);

// Every table ProcessTMATS hands out, with its count.
struct ProcessedTables {
    DB_MEAS_LIST_ENTRY* list = nullptr;
    DB_TDEF_SAMPLE* samples = nullptr;
    DB_TDEF_MEASRU* measru = nullptr;
    DB_TDEF_MEAS* meas = nullptr;
    PCM_FORMAT_INFO* formats = nullptr;
    BUS_INFO* buses = nullptr;
    int listCount = 0, sampleCount = 0, measruCount = 0, measCount = 0, formatCount = 0, busCount = 0;
};
// ProcessTMATS on `path` into `t`; its result.
uint64_t ProcessTables(const char* path, ProcessedTables& t);

}  // namespace tmatsdump

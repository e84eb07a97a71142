#pragma once
// Text dump of the PCM format and bus records, over tessin.h alone: every
// field of a record as "Name=value", table entries as "Table[i].Field=value"
// (fields that are 0 or empty left out), one per line.
#include <string>

#include "tessin.h"

namespace tmatsdump {

// Every format with its tables, then the shared conversion tables once.
std::string DumpFormats(const PCM_FORMAT_INFO* formats, int count);
// Every bus with its tables; `formats` (may be NULL) is checked for the
// same shared tables.
std::string DumpBuses(const BUS_INFO* buses, int count, const PCM_FORMAT_INFO* formats);

}  // namespace tmatsdump

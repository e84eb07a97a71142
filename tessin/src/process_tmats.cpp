// ProcessTMATS: the measurand database tables of a TMATS file, its PCM
// format and bus records, and the channel configuration file beside it.
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "c_boundary.h"
#include "measurand_tables.h"
#include "pcm_format.h"
#include "platform/format.h"
#include "platform/path.h"
#include "platform/text_file.h"
#include "tessin_state.h"

namespace tessin {
namespace {

constexpr uint64_t kFailure = UINT64_C(0xFFFFFFFF);

template <std::size_t N>
std::string Field(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

template <class T>
void SetOut(T* out, T value) {
    if (out) *out = value;
}

template <class T>
T* DataOrNull(std::vector<T>& v) {
    return v.empty() ? nullptr : v.data();
}

}  // namespace

std::string ConfigFileName(const std::string& tmatsPath) {
    std::size_t separator = platform::LastSeparator(tmatsPath);
    std::size_t dot = tmatsPath.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return tmatsPath + ".cfg";
    return tmatsPath.substr(0, dot) + ".cfg";
}

std::string ChannelConfigText(const PCM_FORMAT_INFO* formats, int formatCount, BUS_INFO* buses, int busCount) {
    std::string text = "Ovandry1.1\n";
    for (int i = 0; formats && i < formatCount; ++i) {
        const PCM_FORMAT_INFO& f = formats[i];
        std::string version = Field(f.FormatVersion);
        platform::AppendFormat(text, "%d CH4 %s %s %s NotRandomized\n", f.ChannelID, Field(f.FormatID).c_str(),
                               version.c_str(), version.c_str());
    }
    // Labelled buses are numbered within a run of one channel ID; the first
    // comparison is with channel 0.
    int lastChannel = 0;
    int position = 0;
    for (int i = 0; buses && i < busCount; ++i) {
        BUS_INFO& b = buses[i];
        std::string name = Field(b.BusName);
        if (b.BusType[0] == '1') {
            platform::AppendFormat(text, "%d BUS %s 1553 1553 1553\n", b.ChannelID, name.c_str());
            continue;
        }
        if (b.ChannelID == lastChannel) {
            ++position;
        } else {
            position = 0;
            lastChannel = b.ChannelID;
        }
        b.ChannelPosition = static_cast<int16_t>(position);
        platform::AppendFormat(text, "%d ARINC429 %d %s ARINC429 ARINC429\n", b.ChannelID, position, name.c_str());
    }
    return text;
}

}  // namespace tessin

namespace tessin {
namespace {

uint64_t RunProcessTmats(const char* path, DB_MEAS_LIST_ENTRY** list, int* listCount, DB_TDEF_SAMPLE** samples,
                         int* sampleCount, DB_TDEF_MEASRU** measru, int* measruCount, DB_TDEF_MEAS** meas,
                         int* measCount, PCM_FORMAT_INFO** formats, int* formatCount, BUS_INFO** buses,
                         int* busCount) {
    ServicesState& s = State().services;
    s.tables.reset();
    PCM_FORMAT_INFO* formatArray = nullptr;
    int numFormats = GetPCMFormatInfo(path, &formatArray);
    if (numFormats < 0) return kFailure;
    int numBuses = s.current ? static_cast<int>(s.current->buses.size()) : 0;
    BUS_INFO* busArray = numBuses > 0 ? s.current->buses.data() : nullptr;
    if (numFormats == 0 && numBuses == 0) return 0;
    free_tmats_buffer();
    s.tables.reset(new MeasurandTables());
    std::string failure = BuildMeasurandTables(formatArray, numFormats, busArray, numBuses, *s.tables);
    if (!failure.empty()) {
        SetLastError("%s", failure.c_str());
        return kFailure;
    }
    MeasurandTables& t = *s.tables;
    SetOut(list, DataOrNull(t.list));
    SetOut(listCount, static_cast<int>(t.list.size()));
    SetOut(samples, DataOrNull(t.samples));
    SetOut(sampleCount, static_cast<int>(t.samples.size()));
    SetOut(measru, DataOrNull(t.measru));
    SetOut(measruCount, static_cast<int>(t.measru.size()));
    SetOut(meas, DataOrNull(t.meas));
    SetOut(measCount, static_cast<int>(t.meas.size()));
    SetOut(formats, formatArray);
    SetOut(formatCount, numFormats);
    SetOut(buses, busArray);
    SetOut(busCount, numBuses);

    std::string config = ChannelConfigText(formatArray, numFormats, busArray, numBuses);
    platform::TextFile file;
    if (path && file.Open(ConfigFileName(path), "w")) {
        file.Write(config);
        file.Flush();
        file.Close();
    }
    return static_cast<uint64_t>(numFormats);
}

}  // namespace
}  // namespace tessin

TESSIN_API uint64_t ORVANE_CDECL ProcessTMATS(const char* path, DB_MEAS_LIST_ENTRY** list, int* listCount,
                                              DB_TDEF_SAMPLE** samples, int* sampleCount, DB_TDEF_MEASRU** measru,
                                              int* measruCount, DB_TDEF_MEAS** meas, int* measCount,
                                              PCM_FORMAT_INFO** formats, int* formatCount, BUS_INFO** buses,
                                              int* busCount) {
    using namespace tessin;
    return CallGuarded(
        kFailure,
        [&] {
            return RunProcessTmats(path, list, listCount, samples, sampleCount, measru, measruCount, meas, measCount,
                                   formats, formatCount, buses, busCount);
        },
        [] { SetLastError("ProcessTMATS: Error allocating DB_TDEF_MEAS structures."); });
}

#pragma once
// The word and body printers of every data type, reached only through the
// dispatch table. Each reads the packet only inside the span it is given:
// an entry whose fixed part does not fit ends its loop, and the bytes from
// its start to the body's end follow as the data dump.
#include <cstddef>
#include <cstdint>
#include <string>

#include "../dispatch.h"

namespace sandral::decoders {

// Time data of a time packet: A the first 32-bit word, B the second.
struct TimeDataInput {
    uint32_t a = 0;
    uint32_t b = 0;
    bool dateFormat = false;
};
struct TimeDataResult {
    std::string text;  // "**Time Data Error**" when any check failed
    int errors = 0;
};
TimeDataResult decode_time_data(const TimeDataInput& in);
// Bit 9 of the current group's reference word; day format without one.
bool ReferenceDateFormat();
// The 8-byte absolute time of an event or index entry at `at` (in the
// entry's view): its four 16-bit words last to first and its text, three
// blanks more in day format.
void PrintAbsoluteTime(OutputSink& out, const ch10::PacketView& entry, std::size_t at, bool rootLayout);

// Setup, time, event, index, user data.
std::size_t PrintUserWord(const PrintArgs& a);
void PrintUserBody(const PrintArgs& a);
std::size_t PrintSetupWord(const PrintArgs& a);
std::size_t PrintTimeWord(const PrintArgs& a);
std::size_t PrintEventWord(const PrintArgs& a);
void PrintEventBody(const PrintArgs& a);
std::size_t PrintIndexWord(const PrintArgs& a);
void PrintIndexBody(const PrintArgs& a);

// Bus and message families.
std::size_t Print1553Word(const PrintArgs& a);
void Print1553Body(const PrintArgs& a);
std::size_t Print16ppWord(const PrintArgs& a);
void Print16ppBody(const PrintArgs& a);
std::size_t PrintArincWord(const PrintArgs& a);
void PrintArincBody(const PrintArgs& a);
std::size_t PrintCanWord(const PrintArgs& a);
void PrintCanBody(const PrintArgs& a);
std::size_t PrintEthernetWord(const PrintArgs& a);
void PrintEthernetBody(const PrintArgs& a);
std::size_t PrintUdpWord(const PrintArgs& a);
void PrintUdpBody(const PrintArgs& a);
std::size_t PrintUartWord(const PrintArgs& a);
void PrintUartBody(const PrintArgs& a);
std::size_t Print1394Format0Word(const PrintArgs& a);
void Print1394Format0Body(const PrintArgs& a);
std::size_t Print1394Format1Word(const PrintArgs& a);
void Print1394Format1Body(const PrintArgs& a);
std::size_t PrintMessageWord(const PrintArgs& a);
void PrintMessageBody(const PrintArgs& a);

// Signal and media families.
std::size_t PrintPcmWord(const PrintArgs& a);
std::size_t PrintAnalogWords(const PrintArgs& a);
std::size_t PrintDiscreteWord(const PrintArgs& a);
void PrintDiscreteBody(const PrintArgs& a);
std::size_t PrintVideo0Word(const PrintArgs& a);
std::size_t PrintVideo1Word(const PrintArgs& a);
std::size_t PrintVideo2Word(const PrintArgs& a);
std::size_t PrintImage0Word(const PrintArgs& a);
std::size_t PrintImage1Word(const PrintArgs& a);
std::size_t PrintTspi0Word(const PrintArgs& a);
std::size_t PrintTspi1Word(const PrintArgs& a);
std::size_t PrintTspi2Word(const PrintArgs& a);
std::size_t PrintFibreWord(const PrintArgs& a);
void PrintFibreBody(const PrintArgs& a);

}  // namespace sandral::decoders

#include "../dispatch.h"
#include "../tmats_text.h"
#include "decoders.h"

namespace sandral {

namespace {

using namespace decoders;

int PcmLayout(uint32_t word) { return (word >> 21) & 1 ? 1 : 0; }
int Video0Layout(uint32_t word) { return (word >> 23) & 1 ? 2 : 0; }
int ByteLayout(uint32_t) { return 2; }

// The setup body never reaches the table's body printer: the stepping
// sends its text to print_tmats_text.
std::array<DecoderRow, 256> MakeTable() {
    std::array<DecoderRow, 256> t{};
    t[0x00] = {PrintUserWord, PrintUserBody, nullptr, false};
    t[0x01] = {PrintSetupWord, nullptr, nullptr, false};
    t[0x02] = {PrintEventWord, PrintEventBody, nullptr, false};
    t[0x03] = {PrintIndexWord, PrintIndexBody, nullptr, false};
    t[0x09] = {PrintPcmWord, nullptr, PcmLayout, false};
    t[0x11] = {PrintTimeWord, nullptr, nullptr, false};
    t[0x19] = {Print1553Word, Print1553Body, nullptr, true};
    t[0x1A] = {Print16ppWord, Print16ppBody, nullptr, false};
    t[0x21] = {PrintAnalogWords, nullptr, nullptr, false};
    t[0x29] = {PrintDiscreteWord, PrintDiscreteBody, nullptr, false};
    t[0x30] = {PrintMessageWord, PrintMessageBody, nullptr, false};
    t[0x38] = {PrintArincWord, PrintArincBody, nullptr, false};
    t[0x40] = {PrintVideo0Word, nullptr, Video0Layout, false};
    t[0x41] = {PrintVideo1Word, nullptr, ByteLayout, false};
    t[0x42] = {PrintVideo2Word, nullptr, ByteLayout, false};
    t[0x48] = {PrintImage0Word, nullptr, nullptr, false};
    t[0x49] = {PrintImage1Word, nullptr, nullptr, false};
    t[0x50] = {PrintUartWord, PrintUartBody, nullptr, false};
    t[0x58] = {Print1394Format0Word, Print1394Format0Body, nullptr, false};
    t[0x59] = {Print1394Format1Word, Print1394Format1Body, nullptr, false};
    t[0x68] = {PrintEthernetWord, PrintEthernetBody, nullptr, false};
    t[0x69] = {PrintUdpWord, PrintUdpBody, nullptr, false};
    t[0x70] = {PrintTspi0Word, nullptr, nullptr, false};
    t[0x71] = {PrintTspi1Word, nullptr, nullptr, false};
    t[0x72] = {PrintTspi2Word, nullptr, nullptr, false};
    t[0x78] = {PrintCanWord, PrintCanBody, nullptr, false};
    t[0x79] = {PrintFibreWord, PrintFibreBody, nullptr, false};
    return t;
}

}  // namespace

const std::array<DecoderRow, 256>& DecoderTable() {
    static const std::array<DecoderRow, 256> table = MakeTable();
    return table;
}

}  // namespace sandral

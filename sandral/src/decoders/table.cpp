#include "../dispatch.h"
#include "ch10/data_type.h"
#include "../tmats_text.h"
#include "decoders.h"

namespace sandral {

namespace {

using namespace decoders;
using T = ch10::DataType;

int PcmLayout(uint32_t word) { return (word >> 21) & 1 ? 1 : 0; }
int Video0Layout(uint32_t word) { return (word >> 23) & 1 ? 2 : 0; }
int ByteLayout(uint32_t) { return 2; }

// The setup body never reaches the table's body printer: the stepping
// sends its text to print_tmats_text.
std::array<DecoderRow, 256> MakeTable() {
    std::array<DecoderRow, 256> t{};
    t[ch10::Code(T::ComputerF0)] = {PrintUserWord, PrintUserBody, nullptr, false};
    t[ch10::Code(T::ComputerF1)] = {PrintSetupWord, nullptr, nullptr, false};
    t[ch10::Code(T::ComputerF2)] = {PrintEventWord, PrintEventBody, nullptr, false};
    t[ch10::Code(T::ComputerF3)] = {PrintIndexWord, PrintIndexBody, nullptr, false};
    t[ch10::Code(T::PcmF1)] = {PrintPcmWord, nullptr, PcmLayout, false};
    t[ch10::Code(T::TimeF1)] = {PrintTimeWord, nullptr, nullptr, false};
    t[ch10::Code(T::Mil1553F1)] = {Print1553Word, Print1553Body, nullptr, true};
    t[ch10::Code(T::Mil1553F2)] = {Print16ppWord, Print16ppBody, nullptr, false};
    t[ch10::Code(T::AnalogF1)] = {PrintAnalogWords, nullptr, nullptr, false};
    t[ch10::Code(T::DiscreteF1)] = {PrintDiscreteWord, PrintDiscreteBody, nullptr, false};
    t[ch10::Code(T::MessageF0)] = {PrintMessageWord, PrintMessageBody, nullptr, false};
    t[ch10::Code(T::Arinc429F0)] = {PrintArincWord, PrintArincBody, nullptr, false};
    t[ch10::Code(T::VideoF0)] = {PrintVideo0Word, nullptr, Video0Layout, false};
    t[ch10::Code(T::VideoF1)] = {PrintVideo1Word, nullptr, ByteLayout, false};
    t[ch10::Code(T::VideoF2)] = {PrintVideo2Word, nullptr, ByteLayout, false};
    t[ch10::Code(T::ImageF0)] = {PrintImage0Word, nullptr, nullptr, false};
    t[ch10::Code(T::ImageF1)] = {PrintImage1Word, nullptr, nullptr, false};
    t[ch10::Code(T::UartF0)] = {PrintUartWord, PrintUartBody, nullptr, false};
    t[ch10::Code(T::Ieee1394F0)] = {Print1394Format0Word, Print1394Format0Body, nullptr, false};
    t[ch10::Code(T::Ieee1394F1)] = {Print1394Format1Word, Print1394Format1Body, nullptr, false};
    t[ch10::Code(T::EthernetF0)] = {PrintEthernetWord, PrintEthernetBody, nullptr, false};
    t[ch10::Code(T::EthernetF1)] = {PrintUdpWord, PrintUdpBody, nullptr, false};
    t[ch10::Code(T::TspiF0)] = {PrintTspi0Word, nullptr, nullptr, false};
    t[ch10::Code(T::TspiF1)] = {PrintTspi1Word, nullptr, nullptr, false};
    t[ch10::Code(T::TspiF2)] = {PrintTspi2Word, nullptr, nullptr, false};
    t[ch10::Code(T::CanF0)] = {PrintCanWord, PrintCanBody, nullptr, false};
    t[ch10::Code(T::FibreChannelF0)] = {PrintFibreWord, PrintFibreBody, nullptr, false};
    return t;
}

}  // namespace

const std::array<DecoderRow, 256>& DecoderTable() {
    static const std::array<DecoderRow, 256> table = MakeTable();
    return table;
}

}  // namespace sandral

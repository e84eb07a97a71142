#include "type_labels.h"

#include "ch10/data_type.h"
#include "platform/format.h"

namespace sandral {

namespace {

using T = ch10::DataType;

struct Label {
    T type;
    const char* header;       // after "%d "
    const char* threeColumn;  // a whole format
};

// Spellings kept as the viewer has always shown them ("%3d ANA" is short,
// image format 0 reads "IMG" in one set and "IMG0" in the other).
constexpr Label kLabels[] = {
    {T::ComputerF0, "USER", "%3d USER "},    {T::ComputerF1, "SETUP", "%3d SETUP"},
    {T::ComputerF2, "EVNT", "%3d EVNT "},    {T::ComputerF3, "INDX", "%3d INDX "},
    {T::PcmF1, "PCM", "%3d PCM  "},          {T::TimeF1, "IRIG", "%3d IRIG "},
    {T::Mil1553F1, "1553", "%3d 1553 "},     {T::Mil1553F2, "16PP", "%3d 16PP "},
    {T::AnalogF1, "ANA", "%3d ANA"},         {T::DiscreteF1, "DISC", "%3d DISC "},
    {T::MessageF0, "MSG", "%3d MSG  "},      {T::Arinc429F0, "A429", "%3d A429 "},
    {T::VideoF0, "VID", "%3d VID  "},        {T::VideoF1, "VID1", "%3d VID1 "},
    {T::VideoF2, "VID2", "%3d VID2 "},       {T::ImageF0, "IMG", "%3d IMG0 "},
    {T::ImageF1, "IMG1", "%3d IMG1 "},       {T::UartF0, "UART", "%3d UART "},
    {T::Ieee1394F0, "1394", "%3d 1394 "},    {T::Ieee1394F1, "1394", "%3d 1394 "},
    {T::ParallelF0, "PRLL", "%3d PRLL "},    {T::EthernetF0, "ETH", "%3d ETH  "},
    {T::EthernetF1, "UDP", "%3d UDP  "},     {T::TspiF0, "GPS", "%3d GPS  "},
    {T::TspiF1, "EAG", "%3d EAG  "},         {T::TspiF2, "ACTTS", "%3d ACTTS"},
    {T::CanF0, "CAN", "%3d CAN  "},          {T::FibreChannelF0, "FCH", "%3d FCH  "},
};

// The channel table's words.
constexpr ch10::TypeText kChannelWords[] = {
    {T::ComputerF0, "USER"},      {T::ComputerF1, "SETUP"},        {T::ComputerF2, "EVENT"},
    {T::ComputerF3, "INDEX"},     {T::PcmF1, "PCM"},               {T::TimeF1, "IRIG"},
    {T::Mil1553F1, "1553"},       {T::Mil1553F2, "1553"},          {T::AnalogF1, "ANALOG"},
    {T::DiscreteF1, "DISCRETE"},  {T::MessageF0, "MESSAGE"},       {T::MessageF7, "F-35 FIBRECH"},
    {T::Arinc429F0, "ARINC429"},  {T::VideoF0, "VIDEO"},           {T::VideoF1, "VIDEO"},
    {T::VideoF2, "VIDEO"},        {T::VideoF3, "VIDEO"},           {T::VideoF4, "VIDEO"},
    {T::ImageF0, "IMAGE"},        {T::ImageF1, "SIMAGE"},          {T::ImageF2, "DIMAGE"},
    {T::UartF0, "UART"},          {T::Ieee1394F0, "IEEE1394"},     {T::Ieee1394F1, "IEEE1394"},
    {T::ParallelF0, "PARALLEL"},  {T::EthernetF0, "ETHERNET"},     {T::EthernetF1, "ETHERNET"},
    {T::TspiF0, "TSPIGPS"},       {T::TspiF1, "TSPIEAG"},          {T::TspiF2, "TSPIACTTS"},
    {T::CanF0, "CANBUS"},         {T::FibreChannelF0, "FIBRECH"},
};

}  // namespace

std::string HeaderTypeLabel(uint8_t dataType) {
    const Label* l = ch10::FindByType(kLabels, dataType);
    return platform::Format("%d %s", dataType, l ? l->header : "UNK");
}

std::string ThreeColumnTypeLabel(uint8_t dataType) {
    const Label* l = ch10::FindByType(kLabels, dataType);
    return platform::Format(l ? l->threeColumn : "%3d UNK  ", dataType);
}

const char* ChannelTypeWord(int dataType) {
    return ch10::TextOf(kChannelWords, dataType, "UNDEFINED");
}

}  // namespace sandral

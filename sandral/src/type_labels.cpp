#include "type_labels.h"

#include "platform/format.h"

namespace sandral {

namespace {

struct Label {
    uint8_t code;
    const char* header;       // after "%d "
    const char* threeColumn;  // a whole format
};

// Spellings kept as the viewer has always shown them ("%3d ANA" is short,
// image format 0 reads "IMG" in one set and "IMG0" in the other).
constexpr Label kLabels[] = {
    {0, "USER", "%3d USER "},   {1, "SETUP", "%3d SETUP"},  {2, "EVNT", "%3d EVNT "},
    {3, "INDX", "%3d INDX "},   {9, "PCM", "%3d PCM  "},    {17, "IRIG", "%3d IRIG "},
    {25, "1553", "%3d 1553 "},  {26, "16PP", "%3d 16PP "},  {33, "ANA", "%3d ANA"},
    {41, "DISC", "%3d DISC "},  {48, "MSG", "%3d MSG  "},   {56, "A429", "%3d A429 "},
    {64, "VID", "%3d VID  "},   {65, "VID1", "%3d VID1 "},  {66, "VID2", "%3d VID2 "},
    {72, "IMG", "%3d IMG0 "},   {73, "IMG1", "%3d IMG1 "},  {80, "UART", "%3d UART "},
    {88, "1394", "%3d 1394 "},  {89, "1394", "%3d 1394 "},  {96, "PRLL", "%3d PRLL "},
    {104, "ETH", "%3d ETH  "},  {105, "UDP", "%3d UDP  "},  {112, "GPS", "%3d GPS  "},
    {113, "EAG", "%3d EAG  "},  {114, "ACTTS", "%3d ACTTS"}, {120, "CAN", "%3d CAN  "},
    {121, "FCH", "%3d FCH  "},
};

const Label* Find(uint8_t code) {
    for (const Label& l : kLabels)
        if (l.code == code) return &l;
    return nullptr;
}

}  // namespace

std::string HeaderTypeLabel(uint8_t dataType) {
    const Label* l = Find(dataType);
    return platform::Format("%d %s", dataType, l ? l->header : "UNK");
}

std::string ThreeColumnTypeLabel(uint8_t dataType) {
    const Label* l = Find(dataType);
    return platform::Format(l ? l->threeColumn : "%3d UNK  ", dataType);
}

const char* ChannelTypeWord(int dataType) {
    switch (dataType) {
        case 0: return "USER";
        case 1: return "SETUP";
        case 2: return "EVENT";
        case 3: return "INDEX";
        case 9: return "PCM";
        case 17: return "IRIG";
        case 25: case 26: return "1553";
        case 33: return "ANALOG";
        case 41: return "DISCRETE";
        case 48: return "MESSAGE";
        case 55: return "F-35 FIBRECH";
        case 56: return "ARINC429";
        case 64: case 65: case 66: case 67: case 68: return "VIDEO";
        case 72: return "IMAGE";
        case 73: return "SIMAGE";
        case 74: return "DIMAGE";
        case 80: return "UART";
        case 88: case 89: return "IEEE1394";
        case 96: return "PARALLEL";
        case 104: case 105: return "ETHERNET";
        case 112: return "TSPIGPS";
        case 113: return "TSPIEAG";
        case 114: return "TSPIACTTS";
        case 120: return "CANBUS";
        case 121: return "FIBRECH";
        default: return "UNDEFINED";
    }
}

}  // namespace sandral

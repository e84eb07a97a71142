#include "vexa/engine/listing_columns.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "ch10/data_type.h"

namespace vexa {
namespace {

struct Field {
    uint8_t hi = 0, lo = 0;  // bits of the channel-specific data word
    uint8_t width = 0;
    bool hex = false;
};

using T = ch10::DataType;

struct TypeColumns {
    T type;
    const char* names;  // line 2's data-type column names
    std::array<Field, 8> fields;
};

constexpr Field D(int hi, int lo, int width) {
    return Field{static_cast<uint8_t>(hi), static_cast<uint8_t>(lo), static_cast<uint8_t>(width), false};
}
constexpr Field X(int hi, int lo, int width) {
    return Field{static_cast<uint8_t>(hi), static_cast<uint8_t>(lo), static_cast<uint8_t>(width), true};
}

constexpr TypeColumns kColumns[] = {
    {T::PcmF1, "IH MA MI LM Lm Md SYNOFF", {D(30, 30, 2), D(29, 29, 2), D(28, 28, 2), D(25, 24, 2), D(27, 26, 2), D(20, 18, 2), X(17, 0, 6)}},
    {T::TimeF1, "LY DF TF SRC", {D(8, 8, 2), D(9, 9, 2), D(7, 4, 2), D(3, 0, 2)}},
    {T::Mil1553F1, "TT MSGCNT", {D(31, 30, 2), D(23, 0, 6)}},
    {T::AnalogF1, "Sam Fac TotC SubC Len Mod", {D(28, 28, 3), D(27, 24, 3), D(23, 16, 4), D(15, 8, 4), D(7, 2, 3), D(1, 0, 3)}},
    {T::DiscreteF1, "Leng Mode", {D(7, 3, 4), D(2, 0, 4)}},
    {T::MessageF0, "Ty Countr", {D(17, 16, 2), D(15, 0, 6)}},
    {T::Arinc429F0, "MsgCnt", {D(15, 0, 6)}},
    {T::VideoF0, "ET IPH SS KL", {D(31, 31, 2), D(30, 30, 3), D(29, 29, 2), D(28, 28, 2)}},
    {T::VideoF1, "KL SS IPH EPL ET MD TP PC", {D(21, 21, 2), D(20, 20, 2), D(19, 19, 3), D(18, 15, 3), D(14, 14, 2), D(13, 13, 2), D(12, 12, 2), D(11, 0, 2)}},
    {T::VideoF2, "KL SS IPH EPL ET MD TP PC", {D(21, 21, 2), D(20, 20, 2), D(19, 19, 3), D(18, 15, 3), D(14, 14, 2), D(13, 13, 2), D(12, 12, 2), D(11, 0, 2)}},
    {T::VideoF3, "Part Sum  IPH", {D(31, 30, 4), D(29, 28, 4), D(27, 27, 4)}},
    {T::VideoF4, "Part Sum  IPH", {D(31, 30, 4), D(29, 28, 4), D(27, 27, 4)}},
    {T::ImageF0, "Part Sum  IPH  Length", {D(31, 30, 4), D(29, 28, 4), D(27, 27, 4), D(26, 0, 9)}},
    {T::ImageF1, "Part Sum  IPH  Format", {D(31, 30, 4), D(29, 28, 4), D(27, 27, 4), D(26, 23, 9)}},
    {T::ImageF2, "Part Sum  IPH  Format", {D(31, 30, 4), D(29, 28, 4), D(27, 27, 4), D(26, 21, 9)}},
    {T::UartF0, "IPH", {D(31, 31, 3)}},
    {T::Ieee1394F0, "PBT SY  TransCnt", {D(31, 29, 3), D(28, 25, 3), D(15, 0, 8)}},
    {T::Ieee1394F1, "PktCnt", {D(15, 0, 6)}},
    {T::ParallelF0, "Type ScanNumber", {D(31, 24, 4), D(23, 0, 10)}},
    {T::EthernetF0, "FrameCnt", {D(15, 0, 6)}},
};

const TypeColumns* FindColumns(uint8_t dataType) { return ch10::FindByType(kColumns, dataType); }

uint32_t Bits(uint32_t word, int hi, int lo) {
    const int n = hi - lo + 1;
    const uint32_t mask = n >= 32 ? 0xFFFFFFFFu : (1u << n) - 1u;
    return (word >> lo) & mask;
}

constexpr std::size_t kFixedWidth = 111;      // heading columns up to the data-type columns
constexpr std::size_t kWideTimeFixed = 118;   // with the 7-wider time column
constexpr std::size_t kColumnsWidth = 136;    // lines with data-type columns
constexpr std::string_view kBanner = "______Channel Spec______";
constexpr std::string_view kShortBanner = "___Channel Spec__";
constexpr std::string_view kPairEnd = "\t\t   ";

constexpr std::string_view kLine1First = "Chan's   Seq       Chan   Packet Data   Hd          Da Hdr";
constexpr std::string_view kLine1SecondPcm = "Chan's   Seq       Chan   Packet Data   Hd Flags    Da Hdr";
constexpr std::string_view kLine1Second = "Chan's   Seq       Chan   Packet Data   Hd __Flag__ Da Hdr";
constexpr std::string_view kLine2Lead = "PackCnt  No.  Sync ID     Len    Len    ";
constexpr std::string_view kLine2First = "Vr Flags    Ty CSum CSum     Relative Time Count  ";
constexpr std::string_view kLine2SecondPcm = "Vr          Ty CSum CSum     Relative Time Count  ";
constexpr std::string_view kLine2Second = "Vr Ti OF CP Ty CSum CSum     Relative Time Count  ";
constexpr std::string_view kLine3First =
    "-------- ---- ---- ------ ------ ------ -- -------- -- ---- -------- -------------------- ";
constexpr std::string_view kLine3Second =
    "-------- ---- ---- ------ ------ ------ -- -- -- -- -- ---- -------- -------------------- ";

void PadTo(std::string& s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
}

std::string Dashes(std::string_view names) {
    std::string d(names);
    for (char& c : d)
        if (c != ' ') c = '-';
    return d;
}

}  // namespace

void AppendDataTypeColumns(std::string& row, uint8_t dataType, uint32_t csdw) {
    const TypeColumns* c = FindColumns(dataType);
    if (!c) return;
    char text[24];
    for (const Field& f : c->fields) {
        if (f.width == 0) break;
        const uint32_t v = Bits(csdw, f.hi, f.lo);
        const int n = f.hex ? std::snprintf(text, sizeof text, "%*x ", f.width, v)
                            : std::snprintf(text, sizeof text, "%*d ", f.width, static_cast<int>(v));
        row.append(text, static_cast<std::size_t>(n));
    }
}

std::string VerboseColumnHeaders(uint8_t dataType, uint8_t flags, uint32_t csdw) {
    const bool secondary = (flags & 0x80) != 0;
    if (secondary && (flags & 0x0C) != 0) return {};  // a time form other than the Chapter 4 one
    const bool time = dataType == ch10::Code(ch10::DataType::TimeF1);
    const bool wideTime = time && (csdw & (1u << 9)) != 0;

    // What goes over and under the data-type columns; empty: plain lines.
    std::string_view names;
    if (!secondary) {
        if (const TypeColumns* c = FindColumns(dataType)) names = c->names;
    } else if (dataType == ch10::Code(ch10::DataType::PcmF1)) {
        names = "FH MA MI LM Lm Md SYSOFF";
    } else if (time) {
        names = "LY CP FMT";
    } else if (dataType == ch10::Code(ch10::DataType::Mil1553F1)) {
        names = "TT MSGCNT";
    }
    const bool pair = !secondary && dataType == ch10::Code(ch10::DataType::Ieee1394F0);

    std::string line1(secondary ? (dataType == ch10::Code(ch10::DataType::PcmF1) ? kLine1SecondPcm : kLine1Second) : kLine1First);
    std::string line2(kLine2Lead);
    line2 += secondary ? (dataType == ch10::Code(ch10::DataType::PcmF1) ? kLine2SecondPcm : kLine2Second) : kLine2First;
    std::string line3(secondary ? kLine3Second : kLine3First);
    const char* timeName = time ? "Recorded IRIG Time" : "Computed IRIG Time";

    if (names.empty()) {
        PadTo(line1, kFixedWidth);
        line2 += timeName;
        PadTo(line2, kFixedWidth);
        line3.append(20, '-');
        line3 += ' ';
    } else {
        const std::size_t fixed = wideTime ? kWideTimeFixed : kFixedWidth;
        PadTo(line1, fixed);
        line1 += wideTime ? kShortBanner : kBanner;
        line1 += ' ';
        line2 += timeName;
        PadTo(line2, fixed);
        line2 += names;
        line3.append(fixed - line3.size() - 1, '-');
        line3 += ' ';
        line3 += Dashes(names);
        if (pair) {
            line2 += kPairEnd;
            line3 += kPairEnd;
        } else {
            PadTo(line2, kColumnsWidth);
            PadTo(line3, kColumnsWidth);
        }
    }
    return line1 + "\r\n" + line2 + "\r\n" + line3 + "\r\n";
}

}  // namespace vexa

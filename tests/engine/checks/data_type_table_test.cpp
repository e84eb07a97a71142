#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ch10/data_type.h"
#include "vexa/engine/data_type_table.h"

namespace {

using vexa::DataTypeTable;

TEST(DataTypeTable, LookupDataTypeName) {
    struct Case {
        int32_t code;
        const char* name;
    } cases[] = {
        {0x00, "Comp Gen - Fmt 0 (USER DEFINED)"},
        {0x1A, "Bus 1553 - Fmt 2"},
        {0x79, "FIBRE CHANNEL - Fmt 0"},
        {0x4F, "Image - Fmt 7"},
        {-1, "Undefined"},
        {0x4B, "Undefined"},
        {255, "Undefined"},  // not the -1 row's code
    };
    for (const auto& c : cases) EXPECT_STREQ(vexa::LookupDataTypeName(c.code), c.name) << c.code;
}

TEST(DataTypeTable, ShapeAndVersionCells) {
    static_assert(vexa::kDataTypeTableRows == 33);
    EXPECT_EQ(DataTypeTable[vexa::kUndefinedDataTypeRow].code, -1);
    std::set<int32_t> codes;
    for (const auto& row : DataTypeTable) EXPECT_TRUE(codes.insert(row.code).second) << row.code;

    struct Case {
        int32_t code;
        int fileVersion;
        uint8_t version;
        bool allowed;
    } cases[] = {
        {0x09, 7, 3, true},  {0x09, 7, 4, false},  {0x09, 13, 4, true},  {0x09, 5, 0, true},
        {0x01, 15, 7, true}, {0x01, 11, 6, false}, {0x1A, 5, 3, false},  {0x1A, 5, 255, true},
        {0x1A, 7, 2, false}, {0x1A, 13, 6, true},  {0x70, 11, 5, true},  {0x70, 11, 6, false},
        {0x68, 15, 7, true}, {0x68, 13, 7, false}, {0x4F, 15, 7, false}, {0x4B, 15, 0, true},
        {0x4B, 15, 1, false}, {0x43, 13, 7, false}, {0x43, 15, 7, true}, {0x40, 9, 4, true},
        {0x09, 6, 3, false},  // an unknown file version reads column 05
    };
    for (const auto& c : cases) {
        const auto& row = vexa::DataTypeRowOrUndefined(c.code);
        const uint16_t cell = row.versions[static_cast<std::size_t>(vexa::DataFileVersionToColumn(c.fileVersion))];
        EXPECT_EQ(vexa::DataTypeVersionAllowed(cell, c.version), c.allowed)
            << std::hex << c.code << std::dec << " file " << c.fileVersion << " version " << int(c.version);
    }
}

TEST(DataTypeTable, FindRespectsRowCount) {
    EXPECT_NE(vexa::FindDataTypeRow(0x79), nullptr);
    EXPECT_EQ(vexa::FindDataTypeRow(0x79, 30), nullptr);  // row 30
    EXPECT_NE(vexa::FindDataTypeRow(0x79, 31), nullptr);
    EXPECT_EQ(vexa::FindDataTypeRow(0x4B), nullptr);
    EXPECT_EQ(vexa::FindDataTypeRow(0xFF), nullptr);
    EXPECT_EQ(vexa::FindDataTypeRow(0x00, 0), nullptr);
}

}  // namespace

namespace {

// The engine's table and the layout's list of codes must name the same data
// types: a code in one and not the other means a type the checks and the
// decoders disagree about.
TEST(DataTypeTable, CodesMatchTheLayoutList) {
    std::set<int32_t> listed;
#define X(code, name) listed.insert(code);
#include "ch10/data_types.def"
    std::set<int32_t> tabled;
    for (const auto& row : DataTypeTable)
        if (row.code >= 0) tabled.insert(row.code);
    // The list also names the last computer-generated code, the bound of
    // the computer-generated range, and message format 7, which only the
    // TMATS channel words name ("FCIN"); the table carries neither.
    listed.erase(ch10::Code(ch10::DataType::ComputerF7));
    listed.erase(ch10::Code(ch10::DataType::MessageF7));
    EXPECT_EQ(listed, tabled);
}

}  // namespace

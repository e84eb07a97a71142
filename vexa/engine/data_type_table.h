#pragma once
// The Chapter 10 data types the validator knows: code, display name and the
// data type versions each data file version allows. Used by the checks and by
// the dialogs that list channels.
#include <array>
#include <cstdint>

namespace vexa {

// Columns of the allowed-version cells, by data file version.
enum DataFileVersionColumn : int { kColumn05, kColumn07, kColumn09, kColumn11, kColumn13, kColumn15, kColumnCount };

struct DataTypeRow {
    int32_t code;
    // Per column: lowest accepted data type version in the high byte, highest
    // in the low byte. 0xFFFF accepts only 255: not defined for that version.
    std::array<uint16_t, kColumnCount> versions;
    const char* name;
};

constexpr int kDataTypeTableRows = 33;
extern const std::array<DataTypeRow, kDataTypeTableRows> DataTypeTable;

// The last row: code -1, "Undefined", accepting version 0 only.
constexpr int kUndefinedDataTypeRow = kDataTypeTableRows - 1;

// Column for a data file version: 7, 9, 11, 13, 15, anything else 05.
int DataFileVersionToColumn(int fileDataVersion);

// First of the first `rowCount` rows holding `code`; nullptr when none does.
const DataTypeRow* FindDataTypeRow(int32_t code, int rowCount = kDataTypeTableRows);

// The row for `code`, or the "Undefined" row for a code the table lacks.
const DataTypeRow& DataTypeRowOrUndefined(int32_t code);

// Display name of the first row holding `code`; "Undefined" when none does.
const char* LookupDataTypeName(int32_t code);

// Whether `version` lies inside the cell's accepted range.
bool DataTypeVersionAllowed(uint16_t cell, uint8_t version);

}  // namespace vexa

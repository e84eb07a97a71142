#pragma once
// The data type codes as one enumeration, expanded from data_types.def.
#include <cstddef>
#include <cstdint>

namespace ch10 {

enum class DataType : uint8_t {
#define X(code, name) name = code,
#include "ch10/data_types.def"
};

constexpr uint8_t Code(DataType type) { return static_cast<uint8_t>(type); }
// Codes 0x00 to 0x07 are computer-generated data.
constexpr bool IsComputerGenerated(uint8_t code) { return code <= Code(DataType::ComputerF7); }

// The row of a subsystem's own table (rows with a `type` member) for a
// code; nullptr when the table has none (negative codes and codes above
// 0xFF included).
template <typename Row, std::size_t N>
constexpr const Row* FindByType(const Row (&rows)[N], int code) {
    for (const Row& row : rows)
        if (Code(row.type) == code) return &row;
    return nullptr;
}

// One row of a subsystem's own words for the data types.
struct TypeText {
    DataType type;
    const char* text;
};

// The text of a code in such a table, else `none`.
template <std::size_t N>
constexpr const char* TextOf(const TypeText (&rows)[N], int code, const char* none) {
    const TypeText* row = FindByType(rows, code);
    return row ? row->text : none;
}

}  // namespace ch10

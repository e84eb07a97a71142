#pragma once
// The Channel Details sheet's contents from a channel-information record,
// given as the sheet's four calls so any record can be checked alone.
#include <string>

#include "tessin.h"

namespace vexa {

class SheetCalls {
public:
    virtual ~SheetCalls() = default;
    virtual void SetMaxRows(int rows) = 0;
    virtual void SetRow(int row) = 0;      // from 1
    virtual void SetCol(int column) = 0;   // 1 to 11
    virtual void SetText(const std::string& text) = 0;
};

// Entries of the channel table whose Enable is not 0; 0 without a record,
// a table or a positive count.
int EnabledChannelCount(const CHAN_INFO* info);

// SetMaxRows with the enabled count, then per enabled entry in table order
// a row: the channel ID, the data type's name when the data-type table has
// the code, and when a PCM record has the same ID (the first such record,
// whatever the entry's type) the nine PCM cells.
void FillChannelSheet(const CHAN_INFO* info, SheetCalls& sheet);

}  // namespace vexa

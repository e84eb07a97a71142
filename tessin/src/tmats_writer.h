#pragma once
// The TMATS text writer: attribute groups from PCM format records.
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "tessin.h"

namespace tessin {

template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

// The mask text of bits first..last of a word (library-wide buffer).
const char* make_word_mask(int size, int firstBit, int lastBit);

// "%02d/%02d/%02d" month, day, year modulo 100.
std::string ShortDate(const std::tm& now);
// "%02d/%02d/%04d %02d:%02d:%02d AM|PM" on a 12-hour clock.
std::string CommentTime(const std::tm& now);

// A format's word locations sorted by MeasID, then ElemNum (stable).
std::vector<DB_MEASRU_INFO> SortedLocations(const PCM_FORMAT_INFO& f);

// Appends the D group of format a (from 1) and the C group of the first record.
void AppendDataLinkGroup(std::string& out, const PCM_FORMAT_INFO& f, int a);
void AppendConversionGroups(std::string& out, const PCM_FORMAT_INFO& first, const std::string& shortDate);

void dump_write_tmats_input(const PCM_FORMAT_INFO& first);

// WriteTMATS with its clock given.
int WriteTmatsAt(const char* path, const PCM_FORMAT_INFO* formats, int count, const std::tm& now);

}  // namespace tessin

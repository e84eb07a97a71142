// The attribute dictionary: every attribute the services know, with its
// index level and id; ids number the rows of one group in stored order.
#include <algorithm>
#include <array>

#include "tmats_reader.h"

namespace tessin {
namespace {

constexpr std::array<DictionaryRow, kDictionaryRows> kRows{{
    // G
    {"GPN", 0, 0}, {"GTA", 0, 1}, {"G106", 0, 2}, {"GOD", 0, 3}, {"GRN", 0, 4}, {"GRD", 0, 5}, {"GUN", 0, 6},
    {"GUD", 0, 7}, {"GTN", 0, 8}, {"GPOC\\N", 0, 9}, {"GPOC1", 0, 10}, {"GPOC2", 0, 11}, {"GPOC3", 0, 12},
    {"GPOC4", 0, 13}, {"GDSI\\N", 1, 14}, {"GDSI", 1, 15}, {"GDST", 1, 16}, {"GT11", 0, 17}, {"GT12", 0, 18},
    {"GT13", 0, 19}, {"GSC", 0, 20}, {"GCOM", 0, 21},
    // B
    {"BDLN", 0, 0}, {"BTA", 0, 1}, {"BNBS\\N", 1, 2}, {"BBID", 1, 3}, {"BBNA", 1, 4}, {"BBT", 1, 5},
    {"BTK\\N", 2, 6}, {"BTS", 2, 7}, {"BNMS\\N", 3, 8}, {"BMID", 3, 9}, {"BMNA", 3, 10}, {"BTRN", 3, 11},
    {"BTRA", 3, 12}, {"BSTN", 3, 13}, {"BSTA", 3, 14}, {"BTRM", 3, 15}, {"BDWC", 3, 16}, {"BSPR", 3, 17},
    {"BLBL", 3, 18}, {"BSDI", 3, 19}, {"BRTRN", 3, 20}, {"BRTRA", 3, 21}, {"BRSTN", 3, 22}, {"BRSTA", 3, 23},
    {"BRDWC", 3, 24}, {"BMCD", 3, 25}, {"BMCW", 3, 26}, {"BMN\\N", 3, 27}, {"BMN", 3, 28}, {"BMN1", 3, 29},
    {"BMN2", 3, 30}, {"BNML\\N", 3, 31}, {"BMWN", 3, 32}, {"BMBM", 3, 33}, {"BMTO", 3, 34}, {"BMFP", 3, 35},
    {"BCOM", 0, 36},
    // C
    {"CDCN", 0, 0}, {"CTRD1", 0, 1}, {"CTRD2", 0, 2}, {"CTRD3", 0, 3}, {"CTRD4", 0, 4}, {"CTRD5", 0, 5},
    {"CTRD6", 0, 6}, {"CTRD7", 0, 7}, {"CPOC1", 0, 8}, {"CPOC2", 0, 9}, {"CPOC3", 0, 10}, {"CPOC4", 0, 11},
    {"CMN1", 0, 12}, {"CMNA", 0, 13}, {"CMN2", 0, 14}, {"CMN3", 0, 15}, {"CMN4", 0, 16}, {"CBFM", 0, 17},
    {"CFPF", 0, 18}, {"CMC\\N", 0, 19}, {"CMC1", 0, 20}, {"CMC2", 0, 21}, {"CMC3", 0, 22}, {"CMA\\N", 0, 23},
    {"CMA1", 0, 24}, {"CMA2", 0, 25}, {"CMA3", 0, 26}, {"CMOT1", 0, 27}, {"CMOT2", 0, 28}, {"CMOT3", 0, 29},
    {"CMOT4", 0, 30}, {"CMOT5", 0, 31}, {"CMOT6", 0, 32}, {"CSR", 0, 33}, {"CCRT", 0, 34}, {"CDCT", 0, 35},
    {"CPS\\N", 1, 36}, {"CPS1", 1, 37}, {"CPS2", 1, 38}, {"CPS3", 1, 39}, {"CPS4", 1, 40}, {"CCO\\N", 2, 41},
    {"CCO", 2, 42}, {"CCO1", 2, 43}, {"COTH", 0, 44}, {"CDP\\N", 3, 45}, {"CDP", 3, 46}, {"CDPC\\N", 4, 47},
    {"CDPC", 4, 48}, {"CDPA", 0, 49}, {"CDIC\\N", 5, 50}, {"CDICI\\N", 5, 51}, {"CDICC", 5, 52}, {"CDICP", 5, 53},
    {"CPTM", 0, 54}, {"CBTM", 0, 55}, {"CVOI\\E", 0, 56}, {"CVOI\\D", 0, 57}, {"CVID\\E", 0, 58},
    {"CVID\\D", 0, 59}, {"CCOM", 0, 60},
    // P
    {"PDLN", 0, 0}, {"PD1", 0, 1}, {"PD2", 0, 2}, {"PD3", 0, 3}, {"PD4", 0, 4}, {"PD5", 0, 5}, {"PD6", 0, 6},
    {"PD7", 0, 7}, {"PD8", 0, 8}, {"PTF", 0, 9}, {"PF1", 0, 10}, {"PF2", 0, 11}, {"PF3", 0, 12}, {"PF4", 0, 13},
    {"PMF\\N", 0, 14}, {"PMF1", 0, 15}, {"PMF2", 0, 16}, {"PMF3", 0, 17}, {"PMF4", 0, 18}, {"PMF5", 0, 19},
    {"PSYNC1", 0, 20}, {"PSYNC2", 0, 21}, {"PSYNC3", 0, 22}, {"PSYNC4", 0, 23}, {"PMFW1", 1, 24}, {"PMFW2", 1, 25},
    {"PISF\\N", 2, 26}, {"PISF1", 2, 27}, {"PISF2", 2, 28}, {"PIDC1", 2, 29}, {"PIDC2", 2, 30}, {"PIDC3", 2, 31},
    {"PIDC4", 2, 32}, {"PIDC5", 2, 33}, {"PIDC6", 2, 34}, {"PIDC7", 2, 35}, {"PIDC8", 2, 36}, {"PIDC9", 2, 37},
    {"PIDC10", 2, 38}, {"PSF\\N", 3, 39}, {"PSF1", 3, 40}, {"PSF2", 3, 41}, {"PSF3", 3, 42}, {"PSF4", 3, 43},
    {"PSF5", 3, 44}, {"PSF6", 3, 45}, {"PAEF\\N", 4, 46}, {"PAEF\\DLN", 4, 47}, {"PAEF1", 4, 48}, {"PAEF2", 4, 49},
    {"PAEF3", 4, 50}, {"PAEF4", 4, 51}, {"PAEF5", 4, 52}, {"PAEF6", 4, 53}, {"PFF11", 5, 54}, {"PFF12", 5, 55},
    {"PMLC\\N", 6, 56}, {"PMLC1", 6, 57}, {"PMLC2", 6, 58}, {"PFSC\\N", 7, 59}, {"PFSC1", 7, 60}, {"PFSC2", 7, 61},
    {"PALT\\N", 8, 62}, {"PALT1", 8, 63}, {"PALT2", 8, 64}, {"PALT3", 8, 65}, {"PALT4", 8, 66}, {"PADM\\N", 9, 67},
    {"PADM\\DMN", 9, 68}, {"PADM1", 9, 69}, {"PADM2", 9, 70}, {"PADM3", 9, 71}, {"PADM4", 9, 72}, {"PADM5", 9, 73},
    {"PADM6", 9, 74}, {"PADM7", 9, 75}, {"PCOM", 0, 76},
    // D
    {"DDLN", 0, 0}, {"DML\\N", 1, 1}, {"DMLN", 1, 2}, {"DMN\\N", 2, 3}, {"DMN", 3, 4}, {"DMN1", 3, 5},
    {"DMN2", 3, 6}, {"DMN3", 3, 7}, {"DLT", 3, 8}, {"DMF", 3, 9}, {"DMFM", 3, 10}, {"DMFS\\N", 3, 11},
    {"DMFS1", 3, 12}, {"DMFS2", 3, 13}, {"DMFS3", 3, 14}, {"DMFS4", 3, 15}, {"DMFSW", 3, 16}, {"DMFSM", 3, 17},
    {"DFMF\\N", 3, 18}, {"DFMF1", 3, 19}, {"DFMF2", 3, 20}, {"DFMF3", 3, 21}, {"DFMF4", 3, 22}, {"DFMF5", 3, 23},
    {"DFMF6", 3, 24}, {"DFMF7", 3, 25}, {"DFMF8", 3, 26}, {"DFMF9", 3, 27}, {"DSF1", 3, 28}, {"DSF2", 3, 29},
    {"DSFM", 3, 30}, {"DSFS1", 3, 31}, {"DSFS\\N", 3, 32}, {"DSFS2", 3, 33}, {"DSFS3", 3, 34}, {"DSFS4", 3, 35},
    {"DSFS5", 3, 36}, {"DSFS6", 3, 37}, {"DSFS7", 3, 38}, {"DFSF\\N", 3, 39}, {"DFSF1", 3, 40}, {"DFSF2", 3, 41},
    {"DFSF3", 3, 42}, {"DFSF4", 3, 43}, {"DFSF5", 3, 44}, {"DFSF6", 3, 45}, {"DFSF7", 3, 46}, {"DFSF8", 3, 47},
    {"DFSF9", 3, 48}, {"DFSF10", 3, 49}, {"DFSF11", 3, 50}, {"DMML\\N", 3, 51}, {"DMNF\\N", 3, 52}, {"DMWL", 3, 53},
    {"DWP", 3, 54}, {"DWI", 3, 55}, {"DFP", 3, 56}, {"DFI", 3, 57}, {"DWFM", 3, 58}, {"DWFT", 3, 59},
    {"DWFP", 3, 60}, {"DCOM", 0, 61},
    // R
    {"RID", 0, 0}, {"RRID", 0, 1}, {"RR1", 0, 2}, {"RTC1", 0, 3}, {"RTC2", 0, 4}, {"RTC3", 0, 5}, {"RTC4", 0, 6},
    {"RTC5", 0, 7}, {"RTT", 0, 8}, {"RN", 3, 9}, {"RTC6", 0, 10}, {"RTC7", 0, 11}, {"RTC8", 0, 12}, {"RNSB", 0, 13},
    {"RR11", 0, 14}, {"RR12", 0, 15}, {"RR13", 0, 16}, {"RR14", 0, 17}, {"RPOC1", 0, 18}, {"RPOC2", 0, 19},
    {"RPOC3", 0, 20}, {"RPOC4", 0, 21}, {"RR15", 0, 22}, {"RDPOC1", 0, 23}, {"RDPOC2", 0, 24}, {"RDPOC3", 0, 25},
    {"RDPOC4", 0, 26}, {"REV\\E", 1, 27}, {"REV\\N", 1, 28}, {"REV\\ID", 1, 29}, {"REV\\D", 1, 30},
    {"REV\\T", 1, 31}, {"REV\\P", 1, 32}, {"REV\\LC", 1, 33}, {"REV\\MS", 1, 34}, {"RIDX\\E", 2, 35},
    {"RIDX\\IT", 2, 36}, {"RIDX\\ITV", 2, 37}, {"RIDX\\ICV", 2, 38}, {"RTK1", 3, 39}, {"RTK2", 3, 40},
    {"RDSI", 3, 41}, {"RTK3", 3, 42}, {"RCHE", 3, 43}, {"RCDT", 3, 44}, {"RPDLN", 3, 45}, {"RPDP", 3, 46},
    {"RPTF", 3, 47}, {"RBDLN", 3, 48}, {"RACH\\N", 4, 49}, {"RADP", 4, 50}, {"RASR", 4, 51}, {"RAMN", 4, 52},
    {"RADL", 4, 53}, {"RAMSK", 4, 54}, {"RAMTO", 4, 55}, {"RASF", 4, 56}, {"RDMOD", 5, 57}, {"RDSR", 5, 58},
    {"RNDM\\N", 5, 59}, {"RDMN", 5, 60}, {"RDMSK", 5, 61}, {"RDMTO", 5, 62}, {"RVED", 6, 63}, {"RVNM", 6, 64},
    {"RTFMT", 3, 65}, {"RTSRC", 3, 66}, {"RNAS\\N", 8, 67}, {"RASN", 8, 68}, {"RANM", 8, 69}, {"RNMS\\N", 9, 70},
    {"RMSN", 9, 71}, {"RMNM", 9, 72}, {"RNUS\\N", 10, 73}, {"RUSN", 10, 74}, {"RUNM", 10, 75}, {"RPNM", 11, 76},
    {"RINM", 11, 77}, {"RRT\\N", 12, 78}, {"RRT1", 12, 79}, {"RRT2", 12, 80}, {"RCOM", 0, 81},
}};

// First characters compare signed, the rest unsigned.
constexpr int CompareKeys(const char* a, const char* b) {
    int first = static_cast<signed char>(*a) - static_cast<signed char>(*b);
    if (first != 0 || *a == '\0') return first;
    for (std::size_t i = 1;; ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
}

constexpr std::array<DictionaryRow, kDictionaryRows> kSorted = [] {
    auto rows = kRows;
    std::sort(rows.begin(), rows.end(),
              [](const DictionaryRow& a, const DictionaryRow& b) { return CompareKeys(a.key, b.key) < 0; });
    return rows;
}();

constexpr bool KeysUnique() {
    for (std::size_t i = 1; i < kSorted.size(); ++i)
        if (CompareKeys(kSorted[i - 1].key, kSorted[i].key) == 0) return false;
    return true;
}
static_assert(KeysUnique(), "a dictionary key appears twice");

}  // namespace

const DictionaryRow* DictionaryRows() { return kRows.data(); }

int compare_dictionary_code(const char* a, const char* b) { return CompareKeys(a, b); }

int lookup_attribute_dictionary(TmatsEntry& entry, const char* key) {
    auto it = std::lower_bound(kSorted.begin(), kSorted.end(), key,
                               [](const DictionaryRow& row, const char* k) { return CompareKeys(row.key, k) < 0; });
    if (it == kSorted.end() || CompareKeys(it->key, key) != 0) return -1;
    entry.level = it->level;
    entry.id = it->id;
    return it->id;
}

}  // namespace tessin

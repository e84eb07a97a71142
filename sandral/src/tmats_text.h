#pragma once
// The TMATS record of a recording: loading it, its table at the top of a
// listing, and the text of setup packets one attribute a line.
#include <cstddef>
#include <string>

#include "output_sink.h"
#include "tessin.h"

namespace sandral {

// The "_tmats" file beside a listing: the listing's file name cut at its
// last "_", or the whole name when it has none, followed by "_tmats".
std::string TmatsFileName(const std::string& listingName);

// Each piece up to a ";" as "piece;\r\n" (the piece ends at a NUL too),
// CR and LF right after a ";" skipped, text after the last ";" dropped.
std::string TmatsLines(const char* text, std::size_t length);

// Only for a named listing: the lines go to the "_tmats" file (when it can
// be made), then to the listing.
void print_tmats_text(const char* text, std::size_t length);

void print_tmats_table(OutputSink& out, const std::string& recordingPath, const CHAN_INFO* record);

}  // namespace sandral

namespace sandral {
// IRIG107_get_contents: sets the library's TMATS record to the result.
CHAN_INFO* LoadTmatsRecord(int deviceFlag, const char* path, char* message);
}  // namespace sandral

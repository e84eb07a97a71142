#pragma once
// The TMATS content file: a setup record's text copied one attribute per
// line into the run's ".TMATS.tmt" file.
#include <string>
#include <string_view>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"

namespace vexa {

constexpr std::size_t kSetupTextStart = 28;

// The setup record's text as held: from byte 28 for data length - 4 bytes,
// clamped to the view. NULs are part of it.
std::string_view SetupRecordText(const ch10::PacketView& view, const ch10::PacketHeader& header);

// Breaks the text into lines: ';' CR LF and ';' LF CR stay as they are; any
// other ';' is followed by a line break, a single CR or LF after it dropped;
// text after the last ';' gets a line break. Line breaks are LF here; the
// text file writes them as CR LF.
std::string SplitTmatsLines(std::string_view text);

enum class ContentFileResult { Written, OpenFailed, WriteFailed };

// Creates or replaces `path` with the split text. WriteFailed when a
// write, the flush or the close failed: the file is not whole.
ContentFileResult WriteContentFile(const std::string& path, std::string_view text);

}  // namespace vexa

#include "tmats_text.h"

#include <cstring>

#include "platform/output_file.h"
#include "platform/path.h"
#include "sandral_state.h"

namespace sandral {

std::string TmatsFileName(const std::string& listingName) {
    const std::size_t base = platform::BaseNameOffset(listingName);
    const std::size_t cut = listingName.rfind('_');
    if (cut == std::string::npos || cut < base) return listingName + "_tmats";
    return listingName.substr(0, cut) + "_tmats";
}

std::string TmatsLines(const char* text, std::size_t length) {
    std::string lines;
    if (!text) return lines;
    std::size_t at = 0;
    while (at < length) {
        const void* found = std::memchr(text + at, ';', length - at);
        if (!found) break;
        const std::size_t semi = static_cast<std::size_t>(static_cast<const char*>(found) - text);
        const void* nul = std::memchr(text + at, '\0', semi - at);
        const std::size_t end = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : semi;
        lines.append(text + at, end - at);
        lines += ";\r\n";
        at = semi + 1;
        while (at < length && (text[at] == '\r' || text[at] == '\n')) ++at;
    }
    return lines;
}

void print_tmats_text(const char* text, std::size_t length) {
    BrowseState& b = State().browse;
    if (b.outputFileName.empty()) return;
    const std::string lines = TmatsLines(text, length);
    platform::OutputFile file = platform::OutputFile::Open(TmatsFileName(b.outputFileName));
    if (file.IsOpen()) file.WriteAll(lines);
    file.Close();
    b.outputStream.Write(lines);
}

}  // namespace sandral

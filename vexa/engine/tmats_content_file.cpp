#include "vexa/engine/tmats_content_file.h"

#include "platform/text_file.h"

namespace vexa {

std::string_view SetupRecordText(const ch10::PacketView& view, const ch10::PacketHeader& header) {
    const uint64_t declared = header.dataLength >= 4 ? header.dataLength - 4u : 0u;
    const auto text = view.Slice(kSetupTextStart, static_cast<std::size_t>(declared));
    return {reinterpret_cast<const char*>(text.data()), text.size()};
}

std::string SplitTmatsLines(std::string_view t) {
    std::string out;
    out.reserve(t.size() + t.size() / 8 + 1);
    const std::size_t n = t.size();
    bool lineOpen = false;  // text since the last ';' line end
    std::size_t i = 0;
    while (i < n) {
        const char c = t[i];
        if (c != ';') {
            out.push_back(c);
            lineOpen = true;
            ++i;
            continue;
        }
        out.push_back(';');
        lineOpen = false;
        if (i + 2 < n && ((t[i + 1] == '\r' && t[i + 2] == '\n') || (t[i + 1] == '\n' && t[i + 2] == '\r'))) {
            out.push_back(t[i + 1]);
            out.push_back(t[i + 2]);
            i += 3;
            continue;
        }
        out.push_back('\n');
        i += 1;
        if (i < n && (t[i] == '\r' || t[i] == '\n')) ++i;
    }
    if (lineOpen) out.push_back('\n');
    return out;
}

ContentFileResult WriteContentFile(const std::string& path, std::string_view text) {
    platform::TextFile file;
    if (!file.Open(path, "w+")) return ContentFileResult::OpenFailed;
    const bool written = file.Write(SplitTmatsLines(text)) && file.Flush();
    const bool closed = file.Close();
    return written && closed ? ContentFileResult::Written : ContentFileResult::WriteFailed;
}

}  // namespace vexa

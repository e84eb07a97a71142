// stanag-image: writes a STANAG 4575 media image with a valid directory.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "stanag_image.h"
#include "tool_usage.h"

namespace {

const char kUsage[] =
    "usage: stanag-image --out FILE [options]\n"
    "  --order le|be             byte order of the directory (default le)\n"
    "  --block-size N            block size in bytes (default 512)\n"
    "  --dir-at H                H zero blocks before the first directory block (default 0)\n"
    "  --volume NAME             volume name (at most 32 characters are kept)\n"
    "  --file NAME=PATH          a file entry NAME with the bytes of PATH\n"
    "  --pattern NAME=SIZE[:SEED] a file entry NAME with SIZE pattern bytes\n"
    "  --entries-per-block N     spread the entries over a chain, N to a block (default: all in one)\n"
    "  --filler BYTES            pattern bytes after the last file\n"
    "  --no-dir                  no directory: only the zero blocks and the filler\n"
    "entries are listed in the order given.\n";

bool ParseU64(const std::string& text, uint64_t& value) {
    if (text.empty() || text[0] == '-') return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "stanag-image: %s\n%s", message.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    stanag_image::ImageSpec spec;
    std::vector<stanag_image::Entry> entries;
    std::string out;
    uint64_t per_block = 0;
    bool directory = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (tools::AsksForHelp(arg.c_str())) return tools::ShowUsage(kUsage, true);
        if (arg == "--no-dir") {
            directory = false;
            continue;
        }
        if (i + 1 >= argc) return Usage("missing value after " + arg);
        const std::string value = argv[++i];
        uint64_t n = 0;
        if (arg == "--out") {
            out = value;
        } else if (arg == "--order") {
            if (value == "le") spec.order = stanag_image::ByteOrder::kLittle;
            else if (value == "be") spec.order = stanag_image::ByteOrder::kBig;
            else return Usage("--order wants le or be");
        } else if (arg == "--block-size") {
            if (!ParseU64(value, n) || n == 0 || n > 0x7FFFFFFF) return Usage("bad --block-size");
            spec.block_size = static_cast<uint32_t>(n);
        } else if (arg == "--dir-at") {
            if (!ParseU64(value, n)) return Usage("bad --dir-at");
            spec.h = n;
        } else if (arg == "--volume") {
            spec.volume = value;
        } else if (arg == "--file" || arg == "--pattern") {
            const auto eq = value.find('=');
            if (eq == std::string::npos || eq + 1 == value.size()) return Usage(arg + " wants NAME=...");
            stanag_image::Entry e;
            e.name = value.substr(0, eq);
            const std::string rest = value.substr(eq + 1);
            if (arg == "--file") {
                e.content = stanag_image::Content::File(rest);
            } else {
                const auto colon = rest.find(':');
                uint64_t size = 0, seed = entries.size() + 1;
                if (!ParseU64(rest.substr(0, colon), size) ||
                    (colon != std::string::npos && (!ParseU64(rest.substr(colon + 1), seed) || seed > 0xFFFFFFFF)))
                    return Usage("bad --pattern " + value);
                e.content = stanag_image::Content::Pattern(size, static_cast<uint32_t>(seed));
            }
            entries.push_back(std::move(e));
        } else if (arg == "--entries-per-block") {
            if (!ParseU64(value, n)) return Usage("bad --entries-per-block");
            per_block = n;
        } else if (arg == "--filler") {
            if (!ParseU64(value, n)) return Usage("bad --filler");
            spec.filler = n;
        } else {
            return Usage("unknown option " + arg);
        }
    }
    if (out.empty()) return Usage("--out is required");
    if (!directory && !entries.empty()) return Usage("--no-dir takes no files");
    if (directory) spec.chain = stanag_image::SpreadEntries(std::move(entries), static_cast<std::size_t>(per_block));
    std::string error;
    if (!stanag_image::WriteImage(spec, out, &error)) {
        std::fprintf(stderr, "stanag-image: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

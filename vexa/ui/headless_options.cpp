#include "vexa/ui/headless_options.h"

#include <algorithm>
#include <set>

namespace vexa {
namespace {

enum class Value { None, Text, Digits };

struct OptionRow {
    const char* name;
    const char* valueName;  // shown in the usage
    const char* help;
    Value value;
    bool HeadlessOptions::*flag;
    std::string HeadlessOptions::*text;
    std::optional<std::string> HeadlessOptions::*digits;
};

constexpr OptionRow Flag(const char* name, const char* help, bool HeadlessOptions::*flag) {
    return {name, "", help, Value::None, flag, nullptr, nullptr};
}
constexpr OptionRow Text(const char* name, const char* valueName, const char* help,
                         std::string HeadlessOptions::*text) {
    return {name, valueName, help, Value::Text, nullptr, text, nullptr};
}
constexpr OptionRow Digits(const char* name, const char* valueName, const char* help,
                           std::optional<std::string> HeadlessOptions::*digits) {
    return {name, valueName, help, Value::Digits, nullptr, nullptr, digits};
}

using O = HeadlessOptions;
constexpr OptionRow kOptions[] = {
    Text("--output-dir", "DIR", "the output directory (default: the working directory)", &O::outputDir),
    Text("--output-file", "NAME", "the output (log) file name (default: validate.log)", &O::outputFile),
    Text("--tmats", "FILE", "an external TMATS file in place of the recording's own", &O::tmats),
    Digits("--channel", "ID", "validate only this channel of the TMATS (default: all channels)", &O::channel),
    Flag("--body-checks", "Validate Format of Packet Data (PCM and MIL-STD-1553 bodies)", &O::bodyChecks),
    Flag("--simulated-pcm", "Validate Simulated PCM Channels (needs --body-checks)", &O::simulatedPcm),
    Flag("--simulated-1553", "Validate Simulated 1553 Bus Channels (needs --body-checks)", &O::simulated1553),
    Digits("--max-errors-per-packet", "N", "Max Number of an Error Type per Packet, 0-999 (needs --body-checks)",
           &O::maxErrorsPerPacket),
    Digits("--max-errors-per-channel", "N", "Max Number of an Error Type per Channel, 0-999 (needs --body-checks)",
           &O::maxErrorsPerChannel),
    Digits("--intra-packet-tolerance", "MS", "intra-packet time error tolerance in ms (default: 5)",
           &O::intraPacketTolerance),
    Digits("--time-packet-tolerance", "MS", "time packet relative error tolerance in ms (default: 5)",
           &O::timePacketTolerance),
    Flag("--all-packets", "Output all Packets Info", &O::allPackets),
    Flag("--space-delimited", "Space Delimited listing; clears --all-packets and --channel", &O::spaceDelimited),
    Digits("--max-same-error", "N", "Max Number of the Same Error per Channel (0 for no limit)", &O::maxSameError),
};

constexpr const char* kUsageLine = "usage: vexa --headless [OPTION...] PATH\n";

const OptionRow* Find(const std::string& name) {
    for (const OptionRow& row : kOptions)
        if (name == row.name) return &row;
    return nullptr;
}

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// --help or -h where an option may stand.
bool WantsHelp(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") return true;
        const OptionRow* row = Find(args[i]);
        if (row != nullptr && row->value != Value::None) ++i;
    }
    return false;
}

// Takes the option at `args[i]` (and its value); an error text or empty.
std::string TakeOption(const OptionRow& row, const std::vector<std::string>& args, std::size_t& i,
                       HeadlessOptions& out) {
    const std::string name = row.name;
    if (row.value == Value::None) {
        out.*row.flag = true;
        return "";
    }
    if (i + 1 >= args.size()) return name + " needs a value (" + row.valueName + ")";
    const std::string& value = args[++i];
    if (row.value == Value::Text) {
        if (value.empty() && row.text != &O::outputDir) return name + " needs a value (" + row.valueName + ")";
        out.*row.text = value;
        return "";
    }
    if (!AllDigits(value)) return name + " takes a number of digits, not \"" + value + "\"";
    out.*row.digits = value;
    return "";
}

std::string BuildUsage() {
    std::string text = kUsageLine;
    text += "  PATH  a Chapter 10 recording, or a directory whose *.ch10 files are validated one after the other\n";
    std::size_t width = 0;
    auto shown = [](const OptionRow& row) {
        return std::string(row.name) + (row.value == Value::None ? "" : std::string(" ") + row.valueName);
    };
    for (const OptionRow& row : kOptions) width = std::max(width, shown(row).size());
    for (const OptionRow& row : kOptions) {
        std::string left = shown(row);
        left.resize(width, ' ');
        text += "  " + left + "  " + row.help + "\n";
    }
    text += "  --help" + std::string(width - 4, ' ') + "this text\n";
    return text;
}

}  // namespace

HeadlessParse ParseHeadlessOptions(const std::vector<std::string>& args) {
    HeadlessParse result;
    if (WantsHelp(args)) {
        result.options.help = true;
        return result;
    }
    std::set<std::string> seen;
    bool havePath = false;
    for (std::size_t i = 0; i < args.size() && result.ok(); ++i) {
        const std::string& a = args[i];
        if (a == "--headless") continue;
        if (const OptionRow* row = Find(a)) {
            if (!seen.insert(a).second) result.error = a + " is given twice";
            else result.error = TakeOption(*row, args, i, result.options);
        } else if (a.size() > 1 && a[0] == '-') {
            result.error = "unknown option " + a;
        } else if (havePath) {
            result.error = "one PATH only: \"" + result.options.path + "\" and \"" + a + "\"";
        } else if (a.empty()) {
            result.error = "PATH is empty";
        } else {
            result.options.path = a;
            havePath = true;
        }
    }
    if (result.ok() && !havePath) result.error = "no PATH given";
    return result;
}

const std::string& HeadlessUsageText() {
    static const std::string text = BuildUsage();
    return text;
}

const char* HeadlessUsageLine() { return kUsageLine; }

}  // namespace vexa

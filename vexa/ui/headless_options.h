#pragma once
// The command line of `vexa --headless`: one table of options, each standing
// for a choice of the "Open Files" dialog, read into the choices of one run.
#include <optional>
#include <string>
#include <vector>

namespace vexa {

struct HeadlessOptions {
    std::string outputDir;  // empty: the working directory
    std::string outputFile = "validate.log";
    std::string tmats;
    std::string path;
    bool help = false;

    // The dialog's check boxes and the format.
    bool bodyChecks = false;
    bool simulatedPcm = false;
    bool simulated1553 = false;
    bool allPackets = false;
    bool spaceDelimited = false;
    // Digits as typed into the dialog: the channel's ID, the limits and the
    // tolerances. Absent: the dialog's own value stands.
    std::optional<std::string> channel;
    std::optional<std::string> maxErrorsPerPacket;
    std::optional<std::string> maxErrorsPerChannel;
    std::optional<std::string> maxSameError;
    std::optional<std::string> intraPacketTolerance;
    std::optional<std::string> timePacketTolerance;
};

struct HeadlessParse {
    HeadlessOptions options;
    // Empty when the command line is sound; otherwise the line to print
    // before the usage (exit status 2).
    std::string error;
    bool ok() const { return error.empty(); }
};

// `args` without the program's name; "--headless" itself is skipped.
HeadlessParse ParseHeadlessOptions(const std::vector<std::string>& args);

// The usage line and one line for each option.
const std::string& HeadlessUsageText();
// The usage line alone, printed after a usage error.
const char* HeadlessUsageLine();

}  // namespace vexa

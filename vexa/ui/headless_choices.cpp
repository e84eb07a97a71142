#include "vexa/ui/headless_choices.h"

#include <optional>

#include "platform/numbers.h"

namespace vexa {
namespace {

constexpr int kChannelList = 1042;

// What a choice needs when the dialog keeps its control off: the body
// options follow "Validate Format of Packet Data".
const char* NeedOf(int control) {
    switch (control) {
        case 1061:
        case 1067:
        case 1062:
        case 1063: return "needs --body-checks";
        default: return "cannot be chosen here";
    }
}

class Chooser {
public:
    Chooser(ui::Dialog& d, ui::Driver& driver, const ui::HeadlessBackend& backend)
        : d_(d), driver_(driver), backend_(backend) {}

    // Checks box or radio button `control` when asked for.
    void Check(bool wanted, int control, const char* option) {
        if (!wanted || !error_.empty() || d_.GetCheck(control)) return;
        Act(driver_.Click(d_, control), control, option, "");
    }
    void Type(const std::optional<std::string>& text, int control, const char* option) {
        if (!text || !error_.empty()) return;
        Act(driver_.Type(d_, control, *text), control, option, *text);
    }
    void Channel(const std::optional<std::string>& id) {
        if (!id || !error_.empty()) return;
        if (!d_.IsEnabled(kChannelList)) {
            error_ = "--channel needs PATH to be one recording, not a directory";
            return;
        }
        const int wanted = platform::DecimalToInt(*id);
        // Entry 0 is " All channels".
        for (int i = 1; i < d_.ComboCount(kChannelList); ++i) {
            if (platform::DecimalToInt(d_.ComboEntry(kChannelList, i)) != wanted) continue;
            Act(driver_.SelectCombo(d_, kChannelList, i), kChannelList, "--channel", *id);
            return;
        }
        error_ = "--channel " + *id + ": the TMATS has no channel " + *id + " to validate";
    }
    const std::string& Error() const { return error_; }

private:
    void Act(bool taken, int control, const char* option, const std::string& value) {
        const std::string shown = value.empty() ? std::string(option) : std::string(option) + " " + value;
        if (!taken) {
            error_ = shown + " " + NeedOf(control);
        } else if (backend_.Boxes().size() > boxes_) {
            error_ = shown + ": " + backend_.Boxes().back().text;
        }
        boxes_ = backend_.Boxes().size();
    }

    ui::Dialog& d_;
    ui::Driver& driver_;
    const ui::HeadlessBackend& backend_;
    std::size_t boxes_ = backend_.Boxes().size();
    std::string error_;
};

}  // namespace

std::string MakeChoices(ui::Dialog& d, ui::Driver& driver, const ui::HeadlessBackend& backend,
                        const HeadlessOptions& options) {
    Chooser c(d, driver, backend);
    c.Channel(options.channel);
    c.Check(options.bodyChecks, 1059, "--body-checks");
    c.Check(options.simulatedPcm, 1061, "--simulated-pcm");
    c.Check(options.simulated1553, 1067, "--simulated-1553");
    c.Type(options.maxErrorsPerPacket, 1062, "--max-errors-per-packet");
    c.Type(options.maxErrorsPerChannel, 1063, "--max-errors-per-channel");
    c.Type(options.intraPacketTolerance, 1071, "--intra-packet-tolerance");
    c.Type(options.timePacketTolerance, 1069, "--time-packet-tolerance");
    c.Check(options.allPackets, 1051, "--all-packets");
    c.Check(options.spaceDelimited, 1076, "--space-delimited");
    c.Type(options.maxSameError, 1074, "--max-same-error");
    return c.Error();
}

}  // namespace vexa

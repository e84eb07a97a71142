#include "vexa/engine/check_sections.h"

namespace vexa {

namespace {
constexpr PacketHook kBeforeScanExit[] = {CheckStreamAndSetup, CheckRecordingIndex, CheckDataType,
                                          WriteTmatsContentFile, CorrelateTime, LookUpPreviousPacket};
constexpr PacketHook kBeforeInterestExit[] = {ShowSelectedDataType};
constexpr PacketHook kOfInterest[] = {CheckTimePacket, CheckHeader, CheckChannelWord, CheckDiffersFromPrevious};
constexpr EndOfPacketHook kEndOfPacket[] = {StorePreviousPacket, StoreLastTimeTexts, StoreHeaderSequence};
constexpr ResetHook kResets[] = {ResetStreamSetupSection, ResetRecordingIndexSection, ResetDataTypeSection,
                                 ResetTmatsContentSection, ResetTimeSection,         ResetPreviousPacketSection,
                                 ResetHeaderSection,       ResetChannelWordSection,  ResetSummarySection};
}  // namespace

std::span<const PacketHook> SectionsBeforeScanExit() { return kBeforeScanExit; }
std::span<const PacketHook> SectionsBeforeInterestExit() { return kBeforeInterestExit; }
std::span<const PacketHook> SectionsOfInterest() { return kOfInterest; }
std::span<const EndOfPacketHook> EndOfPacketStore() { return kEndOfPacket; }
std::span<const ResetHook> SectionResets() { return kResets; }

}  // namespace vexa

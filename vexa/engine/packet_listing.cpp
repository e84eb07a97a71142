#include "vexa/engine/packet_listing.h"

#include <cinttypes>
#include <functional>

#include "ch10/data_type.h"
#include "vexa/engine/listing_columns.h"
#include "platform/format.h"
#include "platform/numbers.h"

namespace vexa {
namespace {


constexpr std::size_t kCompactHeaderWidth = 109;

int32_t AsInt(uint32_t v) { return static_cast<int32_t>(v); }

bool DateFormatBit(uint32_t csdw) { return (csdw & (1u << 9)) != 0; }

std::string Text(std::string_view v) { return std::string(v); }

}  // namespace

std::string VerboseRow(const PacketListingInput& in) {
    const ch10::PacketHeader& h = in.header;
    std::string row;
    row.reserve(160);
    platform::AppendFormat(row, "%8d %4d %4x %6d %6d %6d %2d     0x%02x %2d %04x %08x %20s ", AsInt(in.slotPacketCount),
                           h.sequence, h.sync, h.channelId, AsInt(h.packetLength), AsInt(h.dataLength),
                           h.dataTypeVersion, h.flags, h.dataType, h.checksum, in.recordedDataChecksum,
                           Text(in.relTimeText).c_str());
    if (h.dataType == ch10::Code(ch10::DataType::TimeF1)) {
        platform::AppendFormat(row, DateFormatBit(in.csdw) ? "%23s:000 " : "%16s:000 ", Text(in.timePacketText).c_str());
    } else if (in.irigTimeText.size() > 21) {
        row += '*';
        row += in.irigTimeText.substr(8);
    } else {
        platform::AppendFormat(row, "%20s ", Text(in.irigTimeText).c_str());
    }
    AppendDataTypeColumns(row, h.dataType, in.csdw);
    row += "\r\n";
    return row;
}

std::string VerboseBlock(const PacketListingInput& in) {
    std::string block = platform::Format("\r\nPacket at offset 0x%" PRIx64 ", with Sequence Number %d, Channel %d, of Data Type: %s\r\n",
                                         in.packetOffset, in.header.sequence, in.header.channelId,
                                         Text(in.dataTypeName).c_str());
    block += VerboseColumnHeaders(in.header.dataType, in.header.flags, in.csdw);
    block += VerboseRow(in);
    return block;
}

std::string CompactRow(const PacketListingInput& in) {
    const ch10::PacketHeader& h = in.header;
    std::string out;
    if (in.firstOfSlot) {
        std::string line1 = "Chan     Data Packet Seq  Pakt Hdr Dat   Packet";
        line1.append(kCompactHeaderWidth - line1.size(), ' ');
        out += line1 + "\r\n";
        out += h.dataType == ch10::Code(ch10::DataType::TimeF1)
                   ? "ID       Type Length No.  Flag Sum Sum   Offset   RefTime10MHz DeltaTime RecordedIRIGTime     Dithr10MHz Err \r\n"
                   : "ID       Type Length No.  Flag Sum Sum   Offset   RefTime10MHz DeltaTime ComputedIRIGTime     Dithr10MHz Err \r\n";
        out += "-------- ---- ------ ---- ---- --- --- ---------- ------------ --------- -------------------- ---------- --- \r\n";
    }
    const std::string_view time = h.dataType == ch10::Code(ch10::DataType::TimeF1) ? in.timePacketText : in.irigTimeText;
    platform::AppendFormat(out, "0x%06x 0x%02x 0x%04x 0x%02x 0x%02x %s %s 0x%08" PRIx64 " %12" PRId64 " %9.0f %20s ",
                           h.channelId, h.dataType, h.packetLength, h.sequence, h.flags,
                           in.hdrChecksumFailed ? " X " : " - ", in.dataChecksumFailed ? " X " : " - ",
                           in.packetOffset, static_cast<int64_t>(h.relativeTime), in.rtcDelta.value_or(0.0),
                           Text(time).c_str());
    return out;
}

std::string CompactTail(const PacketListingInput& in, bool findingsFlag, const ErrorAccounting& errors) {
    std::string tail = in.header.dataType == ch10::Code(ch10::DataType::TimeF1)
                           ? platform::Format("%10d ", platform::TruncateToInt32(in.timeDeviation.value_or(0.0)))
                           : std::string("         - ");
    if (!findingsFlag) {
        tail += " - \r\n";
        return tail;
    }
    for (int i = 0; i < errors.packetCodeCount && i < kMaxPacketCodes; ++i) {
        if (i > 0) tail += ',';
        tail += std::to_string(errors.packetCodes[static_cast<std::size_t>(i)]);
    }
    tail += "\r\n";
    return tail;
}

namespace {

// The packet's Verbose block, built on first use only: most packets never
// need it.
class LazyVerboseBlock {
public:
    explicit LazyVerboseBlock(PacketListingInput& in) : in_(in) {}
    const std::string& operator()() {
        if (!built_) {
            MakeTimeTexts(in_);
            block_ = VerboseBlock(in_);
            block_ += in_.findingText;
            built_ = true;
        }
        return block_;
    }

private:
    PacketListingInput& in_;
    std::string block_;
    bool built_ = false;
};

// The body checks of the packet's data type, when their gates are open.
// 0, or -1 for a failed write.
int DispatchBodyChecks(const PacketListingInput& in, const ListingOptions& options, RunOutputs& outputs,
                       ErrorAccounting& errors, ListingState& listing, bool& findingsFlag,
                       LazyVerboseBlock& verboseBlock, bool& bodyRan) {
    BodyChecks* checks = listing.bodyChecks;
    if (!checks || !options.validateBodies) return 0;
    const auto s = static_cast<std::size_t>(in.slot);
    auto call = [&]() {
        std::function<std::string_view()> block;
        if (!options.spaceDelimited) block = [&verboseBlock] { return std::string_view(verboseBlock()); };
        return BodyCheckCall{in, std::move(block), options.spaceDelimited, findingsFlag, outputs};
    };
    switch (in.header.dataType) {
        case ch10::Code(ch10::DataType::PcmF1): {
            if (!checks->HasPcmChannels()) return 0;
            const PcmChannel* record = checks->PcmRecord(in.header.channelId);
            if (!record || (in.csdw & (1u << 20)) != 0 || listing.pcmChecksOff[s]) return 0;
            std::string warning;
            if (checks->CheckPcmTmatsAttributes(*record, in.header.dataType, in.slot, warning) != 0) {
                listing.pcmChecksOff[s] = true;
                if (!outputs.WriteOutput(warning)) return -1;
                return 0;
            }
            const int32_t timeBefore = errors.chanTimeErrors[s];
            BodyCheckCall c = call();
            if (checks->ValidatePcmBody(*record, c) < 0) return -1;
            bodyRan = true;
            errors.RecomputePacketDataTotals(in.slot, false);
            if (errors.chanTimeErrors[s] != timeBefore) errors.Bump(FormCounter::invalidTimeErrors);
            return 0;
        }
        case ch10::Code(ch10::DataType::Mil1553F1): {
            const int32_t timeBefore = errors.chanTimeErrors[s];
            BodyCheckCall c = call();
            if (checks->Validate1553Body(c) < 0) return -1;
            bodyRan = true;
            errors.RecomputePacketDataTotals(in.slot, true);
            if (errors.chanTimeErrors[s] != timeBefore) errors.Bump(FormCounter::invalidTimeErrors);
            return 0;
        }
        case ch10::Code(ch10::DataType::VideoF0): {
            BodyCheckCall c = call();
            if (checks->ValidateVideoBody(c) < 0) return -1;
            bodyRan = true;
            errors.RecomputePacketDataTotals(in.slot, false);
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace

void MakeTimeTexts(PacketListingInput& in) {
    if (!in.makeTimeTexts) return;
    const auto make = std::move(in.makeTimeTexts);
    in.makeTimeTexts = nullptr;
    make(in);
}

int ListPacket(PacketListingInput& in, const ListingOptions& options, RunOutputs& outputs,
               ErrorAccounting& errors, ListingState& listing, EngineHost& host) {
    if (in.slot < 0 || in.slot >= kChannelSlots) return 0;

    LazyVerboseBlock verboseBlock(in);

    platform::OutputFile* listingFile = nullptr;
    if (!options.spaceDelimited) {
        if (options.listingOn && (options.listAllPackets || !in.findingText.empty()) && outputs.outputHandle.IsOpen() &&
            !outputs.WriteOutput(verboseBlock()))
            return -1;
    } else if (options.listingOn) {
        listingFile = outputs.ListingFile(in.slot, in.header.channelId, host);
        MakeTimeTexts(in);
        if (listingFile && !listingFile->WriteAll(CompactRow(in))) return -1;
    }
    bool findingsFlag = !in.findingText.empty();

    bool bodyRan = false;
    if (DispatchBodyChecks(in, options, outputs, errors, listing, findingsFlag, verboseBlock, bodyRan) < 0) return -1;
    // Detail counts raised outside a body check reach the totals now, so the
    // form and the summary agree with the log.
    if (!bodyRan && errors.detailOutsideBody[static_cast<std::size_t>(in.slot)])
        errors.RecomputePacketDataTotals(in.slot, true);

    if (listingFile && !listingFile->WriteAll(CompactTail(in, findingsFlag, errors))) return -1;
    return 0;
}

}  // namespace vexa

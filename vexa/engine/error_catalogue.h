#pragma once
// Every error number the engine knows: who raises it, whether it is
// counted, and which form counter, per-channel category and detail count
// it feeds. Row i describes error number i + 1.
#include <array>
#include <cstddef>
#include <cstdint>

namespace vexa {

constexpr int kErrorNumbers = 176;

// The check section that specifies an error's condition and text.
enum class ErrorOwner : uint8_t {
    None,            // never raised
    Framing,         // sync search, packet acceptance, channel table
    StreamIndex,     // stream start, setup record, recording index
    Time,            // time units, correlation, time packets
    Header,          // header and checksum checks
    DataWord,        // channel-specific data word checks
    PreviousPacket,  // differs-from-previous checks
    PcmBody,         // PCM body checks
    Bus1553Body,     // MIL-STD-1553 body checks
};

enum class ErrorStatus : uint8_t {
    Counted,           // raised through CountError
    WrittenUncounted,  // its text is written without CountError
    NeverRaised,
};

// The thirteen counters of the form's "Error Count" group, in this order.
enum class FormCounter : uint8_t {
    syncErrors,          // "Sync"
    sequenceErrors,      // "Sequence"
    packetLenErrors,     // "Packet Len"
    dataLenErrors,       // "Data Len"
    dataErrors,          // "Data Error"
    timeErrors,          // "Time Count"
    overflowErrors,      // "Data Overflow"
    consistencyErrors,   // "Consistency"
    simDataErrors,       // "Sim Data Err"
    invalidTimeErrors,   // "Invalid Time"
    hdrChecksumErrors,   // "Hdr Chksum"
    dataChecksumErrors,  // "Data Chksum"
    dataVersionErrors,   // "Data Version"
    None,
};
constexpr int kFormCounters = 13;

// How a finding reaches its form counter.
enum class CounterFeed : uint8_t {
    None,
    Direct,         // one increment per finding
    ThroughTotals,  // a stored sum, recomputed after the body checks
    OncePerPacket,  // one per body-checked packet whose time category rose
};

// The twelve per-channel error categories, in the order in which the
// summary adds them to its total.
enum class Category : uint8_t {
    chanHdrChecksumErrors,   // "Header Checksum"
    chanRtcErrors,           // "Relative Time Counter Errors"
    chanOverflowErrors,      // "Data Overflow Flag"
    chanPacketDataErrors,    // "Packet data errors" (a sum, never counted directly)
    chanDataLenErrors,       // "Data length"
    chanPacketLenErrors,     // "Packet length"
    chanSimDataErrors,       // "Simulation data errors"
    chanSequenceErrors,      // "Sequence number"
    chanSyncErrors,          // "Header Sync"
    chanTimeErrors,          // "Time"
    chanDataChecksumErrors,  // "Data Checksum"
    chanConsistencyErrors,   // "Consistency"
    None,
};
constexpr int kCategories = 12;

// The eleven detail counts whose sum is a slot's packet data errors.
enum class Detail : uint8_t {
    chanPcmSyncErrors,
    chanPcmMinorSyncBitErrors,
    chanPcmMajorSyncBitErrors,
    chanMajorLockErrors,
    chanMinorLockErrors,
    chanFrameIdErrors,
    chanTimeStampErrors,
    chanGapTimeErrors,
    chanByteCountErrors,
    chanBlockStatusErrors,  // 1553 messages whose block status shows an error (no error number)
    chanMsgCountErrors,
    None,
};
constexpr int kDetails = 11;

// bus1553ErrorCounts is stored WE, SE, LE, TM, FE, ME (Errors 124 to 119).
constexpr int kBus1553Counts = 6;

struct ErrorInfo {
    uint16_t number = 0;
    ErrorOwner owner = ErrorOwner::None;
    ErrorStatus status = ErrorStatus::NeverRaised;
    FormCounter counter = FormCounter::None;
    CounterFeed feed = CounterFeed::None;
    Category category = Category::None;
    Detail detail = Detail::None;
    int8_t busIndex = -1;  // index into bus1553ErrorCounts, -1 none
};

namespace catalogue_detail {
using O = ErrorOwner;
using S = ErrorStatus;
using C = FormCounter;
using F = CounterFeed;
using K = Category;
using D = Detail;
constexpr ErrorInfo Row(uint16_t n, O o, S s, C c, F f, K k, D d, int b) {
    return ErrorInfo{n, o, s, c, f, k, d, static_cast<int8_t>(b)};
}
}  // namespace catalogue_detail

inline constexpr std::array<ErrorInfo, kErrorNumbers> kErrorCatalogue = [] {
    using namespace catalogue_detail;
    return std::array<ErrorInfo, kErrorNumbers>{{
    Row(  1, O::Header, S::Counted, C::dataChecksumErrors, F::Direct, K::chanDataChecksumErrors, D::None, -1),
    Row(  2, O::Header, S::Counted, C::dataChecksumErrors, F::Direct, K::chanDataChecksumErrors, D::None, -1),
    Row(  3, O::Header, S::Counted, C::dataChecksumErrors, F::Direct, K::chanDataChecksumErrors, D::None, -1),
    Row(  4, O::Header, S::Counted, C::hdrChecksumErrors, F::Direct, K::chanHdrChecksumErrors, D::None, -1),
    Row(  5, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row(  6, O::Header, S::Counted, C::hdrChecksumErrors, F::Direct, K::chanHdrChecksumErrors, D::None, -1),
    Row(  7, O::None, S::NeverRaised, C::None, F::None, K::None, D::None, -1),
    Row(  8, O::DataWord, S::Counted, C::timeErrors, F::Direct, K::chanRtcErrors, D::None, -1),
    Row(  9, O::None, S::NeverRaised, C::None, F::None, K::None, D::None, -1),
    Row( 10, O::None, S::NeverRaised, C::None, F::None, K::None, D::None, -1),
    Row( 11, O::Bus1553Body, S::Counted, C::invalidTimeErrors, F::OncePerPacket, K::chanTimeErrors, D::None, -1),
    Row( 12, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 13, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 14, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 15, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 16, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 17, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 18, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 19, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 20, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 21, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 22, O::None, S::NeverRaised, C::None, F::None, K::None, D::None, -1),
    Row( 23, O::None, S::NeverRaised, C::None, F::None, K::None, D::None, -1),
    Row( 24, O::None, S::NeverRaised, C::None, F::None, K::None, D::None, -1),
    Row( 25, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 26, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 27, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 28, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 29, O::None, S::NeverRaised, C::None, F::None, K::None, D::None, -1),
    Row( 30, O::StreamIndex, S::Counted, C::invalidTimeErrors, F::Direct, K::None, D::None, -1),
    Row( 31, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::None, D::None, -1),
    Row( 32, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::None, D::None, -1),
    Row( 33, O::StreamIndex, S::Counted, C::packetLenErrors, F::Direct, K::None, D::None, -1),
    Row( 34, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 35, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 36, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 37, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 38, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 39, O::Framing, S::Counted, C::syncErrors, F::Direct, K::chanSyncErrors, D::None, -1),
    Row( 40, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 41, O::Header, S::Counted, C::sequenceErrors, F::Direct, K::chanSequenceErrors, D::None, -1),
    Row( 42, O::Header, S::Counted, C::sequenceErrors, F::Direct, K::chanSequenceErrors, D::None, -1),
    Row( 43, O::Framing, S::Counted, C::packetLenErrors, F::Direct, K::chanPacketLenErrors, D::None, -1),
    Row( 44, O::Header, S::Counted, C::packetLenErrors, F::Direct, K::chanPacketLenErrors, D::None, -1),
    Row( 45, O::Header, S::Counted, C::packetLenErrors, F::Direct, K::chanPacketLenErrors, D::None, -1),
    Row( 46, O::Header, S::Counted, C::dataLenErrors, F::Direct, K::chanDataLenErrors, D::None, -1),
    Row( 47, O::Header, S::Counted, C::dataLenErrors, F::Direct, K::chanDataLenErrors, D::None, -1),
    Row( 48, O::Header, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 49, O::Header, S::Counted, C::overflowErrors, F::Direct, K::chanOverflowErrors, D::None, -1),
    Row( 50, O::Header, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 51, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 52, O::Header, S::Counted, C::timeErrors, F::Direct, K::chanRtcErrors, D::None, -1),
    Row( 53, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 54, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 55, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 56, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 57, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 58, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 59, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 60, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 61, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 62, O::DataWord, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row( 63, O::DataWord, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMsgCountErrors, -1),
    Row( 64, O::DataWord, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMsgCountErrors, -1),
    Row( 65, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 66, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 67, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 68, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 69, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 70, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 71, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 72, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 73, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 74, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 75, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 76, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 77, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 78, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 79, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 80, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 81, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 82, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 83, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 84, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 85, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 86, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 87, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 88, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 89, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row( 90, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanPcmSyncErrors, -1),
    Row( 91, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanPcmMinorSyncBitErrors, -1),
    Row( 92, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanPcmMajorSyncBitErrors, -1),
    Row( 93, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMajorLockErrors, -1),
    Row( 94, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row( 95, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanPcmMinorSyncBitErrors, -1),
    Row( 96, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanTimeStampErrors, -1),
    Row( 97, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanTimeStampErrors, -1),
    Row( 98, O::PcmBody, S::Counted, C::simDataErrors, F::ThroughTotals, K::chanSimDataErrors, D::None, -1),
    Row( 99, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMajorLockErrors, -1),
    Row(100, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row(101, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanFrameIdErrors, -1),
    Row(102, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row(103, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanFrameIdErrors, -1),
    Row(104, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row(105, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row(106, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanFrameIdErrors, -1),
    Row(107, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row(108, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row(109, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanFrameIdErrors, -1),
    Row(110, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row(111, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row(112, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanFrameIdErrors, -1),
    Row(113, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row(114, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanMinorLockErrors, -1),
    Row(115, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanTimeStampErrors, -1),
    Row(116, O::PcmBody, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanTimeStampErrors, -1),
    Row(117, O::PcmBody, S::Counted, C::simDataErrors, F::ThroughTotals, K::chanSimDataErrors, D::None, -1),
    Row(118, O::PcmBody, S::Counted, C::invalidTimeErrors, F::OncePerPacket, K::chanTimeErrors, D::None, -1),
    Row(119, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::None, 5),
    Row(120, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::None, 4),
    Row(121, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::None, 3),
    Row(122, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::None, 2),
    Row(123, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::None, 1),
    Row(124, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::None, 0),
    Row(125, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanGapTimeErrors, -1),
    Row(126, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanGapTimeErrors, -1),
    Row(127, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanByteCountErrors, -1),
    Row(128, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanByteCountErrors, -1),
    Row(129, O::Bus1553Body, S::Counted, C::dataErrors, F::ThroughTotals, K::chanPacketDataErrors, D::chanTimeStampErrors, -1),
    Row(130, O::None, S::NeverRaised, C::None, F::None, K::None, D::None, -1),
    Row(131, O::Bus1553Body, S::Counted, C::simDataErrors, F::ThroughTotals, K::chanSimDataErrors, D::None, -1),
    Row(132, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(133, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row(134, O::None, S::NeverRaised, C::None, F::None, K::None, D::None, -1),
    Row(135, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(136, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(137, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(138, O::DataWord, S::Counted, C::dataLenErrors, F::Direct, K::chanDataLenErrors, D::None, -1),
    Row(139, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(140, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(141, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(142, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(143, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(144, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(145, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(146, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(147, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(148, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(149, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(150, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(151, O::Header, S::Counted, C::dataVersionErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(152, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row(153, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row(154, O::Time, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row(155, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(156, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(157, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(158, O::Header, S::Counted, C::packetLenErrors, F::Direct, K::chanPacketLenErrors, D::None, -1),
    Row(159, O::StreamIndex, S::WrittenUncounted, C::None, F::None, K::None, D::None, -1),
    Row(160, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(161, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(162, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(163, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(164, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(165, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(166, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(167, O::None, S::NeverRaised, C::None, F::None, K::None, D::None, -1),
    Row(168, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(169, O::DataWord, S::Counted, C::invalidTimeErrors, F::Direct, K::chanTimeErrors, D::None, -1),
    Row(170, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(171, O::DataWord, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(172, O::Bus1553Body, S::WrittenUncounted, C::None, F::None, K::None, D::None, -1),
    Row(173, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(174, O::Framing, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(175, O::StreamIndex, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    Row(176, O::PreviousPacket, S::Counted, C::consistencyErrors, F::Direct, K::chanConsistencyErrors, D::None, -1),
    }};
}();

namespace catalogue_detail {
constexpr bool RowsInOrder() {
    for (std::size_t i = 0; i < kErrorCatalogue.size(); ++i)
        if (kErrorCatalogue[i].number != i + 1) return false;
    return true;
}
constexpr bool ShapeHolds() {
    for (const ErrorInfo& e : kErrorCatalogue) {
        const bool raised = e.status != ErrorStatus::NeverRaised;
        if (raised != (e.owner != ErrorOwner::None)) return false;
        if ((e.counter == FormCounter::None) != (e.feed == CounterFeed::None)) return false;
        if (e.status != ErrorStatus::Counted && (e.counter != FormCounter::None || e.category != Category::None))
            return false;
        // A detail or bus count exists only under the packet data errors.
        if ((e.detail != Detail::None || e.busIndex >= 0) && e.category != Category::chanPacketDataErrors) return false;
        if (e.detail != Detail::None && e.busIndex >= 0) return false;
        if (e.busIndex >= kBus1553Counts) return false;
        // Packet data errors are never counted directly: each has its detail or bus count.
        if (e.category == Category::chanPacketDataErrors && e.detail == Detail::None && e.busIndex < 0) return false;
        if (e.feed == CounterFeed::ThroughTotals && e.counter != FormCounter::dataErrors &&
            e.counter != FormCounter::simDataErrors)
            return false;
    }
    return true;
}
constexpr int CountWhere(ErrorStatus s) {
    int n = 0;
    for (const ErrorInfo& e : kErrorCatalogue) n += e.status == s;
    return n;
}
}  // namespace catalogue_detail

static_assert(catalogue_detail::RowsInOrder(), "row i holds error number i + 1");
static_assert(catalogue_detail::ShapeHolds(), "catalogue rows are consistent");
static_assert(catalogue_detail::CountWhere(ErrorStatus::NeverRaised) == 10);
static_assert(catalogue_detail::CountWhere(ErrorStatus::WrittenUncounted) == 2);

// The row of an error number; nullptr outside 1-176.
constexpr const ErrorInfo* FindError(uint32_t number) {
    return number >= 1 && number <= kErrorNumbers ? &kErrorCatalogue[number - 1] : nullptr;
}

}  // namespace vexa

// The recorder channel list: one item per enabled channel, by its type.
#include <cstring>
#include <string>
#include <vector>

#include "ch10/data_type.h"
#include "platform/format.h"
#include "tessin_state.h"
#include "tmats_fields.h"
#include "tmats_lists.h"

namespace tessin {
namespace {

using T = ch10::DataType;

// The words outside programs know the channel kinds by.
constexpr ch10::TypeText kListTypeWords[] = {
    {T::ComputerF0, "USER"},      {T::ComputerF1, "SETUP"},       {T::ComputerF2, "EVENT"},
    {T::ComputerF3, "INDEX"},     {T::PcmF1, "CH4"},              {T::TimeF1, "IRIG"},
    {T::Mil1553F1, "1553"},       {T::Mil1553F2, "1553"},         {T::AnalogF1, "ANALOG"},
    {T::DiscreteF1, "DISCRETE"},  {T::MessageF0, "MESSAGE"},      {T::MessageF7, "F-35 FIBRECH"},
    {T::Arinc429F0, "ARINC429"},  {T::VideoF0, "VIDEO"},          {T::VideoF1, "VIDEO"},
    {T::VideoF2, "VIDEO"},        {T::VideoF3, "VIDEO"},          {T::VideoF4, "VIDEO"},
    {T::ImageF0, "IMAGE"},        {T::ImageF1, "SIMAGE"},         {T::ImageF2, "DIMAGE"},
    {T::UartF0, "UART"},          {T::Ieee1394F0, "IEEE1394"},    {T::Ieee1394F1, "IEEE1394"},
    {T::ParallelF0, "PARALLEL"},  {T::EthernetF0, "ETHERNET"},    {T::TspiF0, "TSPIGPS"},
    {T::TspiF1, "TSPIEAG"},       {T::TspiF2, "TSPIACTTS"},       {T::CanF0, "CANBUS"},
    {T::FibreChannelF0, "FIBRECH"},
};

template <class T>
const T* FirstWithId(const T* records, int count, int channelId) {
    if (!records) return nullptr;
    for (int i = 0; i < count; ++i)
        if (records[i].ChannelID == channelId) return &records[i];
    return nullptr;
}

// Appends whole pieces while they fit with their NUL; the first that does
// not fit ends the list, so a cut list lacks the trailer.
class ListWriter {
public:
    ListWriter(char* buf, int length) : buf_(buf), length_(length) {}
    void Piece(const std::string& piece) {
        if (full_) return;
        if (written_ + static_cast<int64_t>(piece.size()) + 1 > length_) {
            full_ = true;
            return;
        }
        std::memcpy(buf_ + written_, piece.data(), piece.size());
        written_ += static_cast<int64_t>(piece.size());
        buf_[written_] = '\0';
    }
    bool Empty() const { return written_ == 0; }
    bool EndsInComma() const { return written_ > 0 && buf_[written_ - 1] == ','; }
    int Written() const { return static_cast<int>(written_); }

private:
    char* buf_;
    int64_t length_;
    int64_t written_ = 0;
    bool full_ = false;
};

// "name,second,third" from the first 32 characters; empty parts take defaults.
std::string PcmItem(const char* type, int id, const char* dataLinkName) {
    std::string text(dataLinkName, strnlen(dataLinkName, 32));
    std::string parts[3];
    std::size_t start = 0;
    for (int i = 0; i < 3 && start <= text.size(); ++i) {
        std::size_t comma = text.find(',', start);
        parts[i] = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? text.size() + 1 : comma + 1;
    }
    if (parts[1].empty()) parts[1] = "0";
    if (parts[2].empty()) parts[2] = "NONE";
    return platform::Format("%s %d %s %s %s", type, id, parts[2].c_str(), parts[0].c_str(), parts[1].c_str());
}

std::vector<std::string> AnalogItems(const char* type, int id, const ANALOG_CHAN_INFO* a) {
    std::vector<std::string> items;
    if (!a) {
        for (int n = 1; n <= 8; ++n) items.push_back(platform::Format("%s %d %d 50000", type, id, n));
        return items;
    }
    int count = ClampSubchannels(a->SubchannelCount);
    if (count == 0) {
        items.push_back(platform::Format("%s %d %d %g", type, id, 1, a->SampleRate));
        return items;
    }
    for (int n = 0; n < count; ++n) {
        const ANALOG_SUBCHANNEL& sub = a->Subchannels[n];
        std::string name(sub.Name, strnlen(sub.Name, sizeof sub.Name));
        items.push_back(platform::Format("%s %d %d %g %s %d", type, id, n + 1, a->SampleRate, name.c_str(),
                                         sub.DataLength));
    }
    return items;
}

std::vector<std::string> SubchannelItems(const char* type, int id, const SUBCHAN_CHAN_INFO* c) {
    std::vector<std::string> items;
    int count = c ? ClampSubchannels(c->SubchannelCount) : 0;
    if (count == 0) {
        for (int n = 0; n < 8; ++n) items.push_back(platform::Format("%s %d %d", type, id, n));
        return items;
    }
    for (int n = 0; n < count; ++n) {
        const SUBCHANNEL_ITEM& sub = c->Subchannels[n];
        std::string name(sub.Name, strnlen(sub.Name, sizeof sub.Name));
        if (sub.Number != 0 && !name.empty())
            items.push_back(platform::Format("%s %d %d %s", type, id, sub.Number - 1, name.c_str()));
        else
            items.push_back(platform::Format("%s %d %d", type, id, n));
    }
    return items;
}

// The items of one channel; none for a time channel.
std::vector<std::string> ChannelItems(const CHAN_INFO& info, const CHAN_ENTRY& ch) {
    int id = ch.ChannelID;
    const char* type = channel_type_name(id, ch.DataType, &info);
    switch (ch.DataType) {
    case ch10::Code(T::TimeF1): return {};
    case ch10::Code(T::PcmF1): {
        const PCM_CHAN_INFO* p = FirstWithId(info.PcmChannels, info.PcmCount, id);
        if (p && p->DataLinkName[0] != '\0') return {PcmItem(type, id, p->DataLinkName)};
        break;
    }
    case ch10::Code(T::Mil1553F1): {
        const BUS1553_CHAN_INFO* b = FirstWithId(info.Bus1553Channels, info.Bus1553Count, id);
        if (b) {
            std::string bus(b->BusName, strnlen(b->BusName, sizeof b->BusName));
            return {platform::Format("%s %d %s", type, id, bus.c_str())};
        }
        break;
    }
    case ch10::Code(T::AnalogF1):
        return AnalogItems(type, id, FirstWithId(info.AnalogChannels, info.AnalogCount, id));
    case ch10::Code(T::Arinc429F0):
        return SubchannelItems(type, id, FirstWithId(info.A429Channels, info.A429Count, id));
    case ch10::Code(T::UartF0):
        return SubchannelItems(type, id, FirstWithId(info.UartChannels, info.UartCount, id));
    case ch10::Code(T::VideoF0):
    case ch10::Code(T::VideoF1): {
        const VIDEO_CHAN_INFO* v = FirstWithId(info.VideoChannels, info.VideoCount, id);
        if (v) {
            std::string name(v->Name, strnlen(v->Name, sizeof v->Name));
            return {platform::Format("%s %d %d %s", type, id, v->EncodingDelay, name.c_str())};
        }
        break;
    }
    default: break;
    }
    return {platform::Format("%s %d", type, id)};
}

}  // namespace

const char* channel_type_name(int channelId, int dataType, const CHAN_INFO* info) {
    char* word = State().services.typeName;
    const char* text = ch10::TextOf(kListTypeWords, dataType, "UNDEFINED");
    if (dataType == ch10::Code(T::PcmF1) && info) {
        const PCM_CHAN_INFO* p = FirstWithId(info->PcmChannels, info->PcmCount, channelId);
        if (p && p->FrameVariant == 1) text = "CH8";
    }
    CopyField(word, sizeof State().services.typeName, text);
    return word;
}

int BuildChannelList(const CHAN_INFO& info, char* buf, int length) {
    ListWriter out(buf, length);
    for (int i = 0; info.Channels && i < info.ChannelCount; ++i) {
        const CHAN_ENTRY& ch = info.Channels[i];
        if (!ch.Enable) continue;
        std::string comma = out.Empty() ? "" : ",";
        std::vector<std::string> items = ChannelItems(info, ch);
        if (items.empty()) {
            if (!comma.empty()) out.Piece(comma);
            continue;
        }
        out.Piece(comma + items[0]);
        for (std::size_t k = 1; k < items.size(); ++k) out.Piece("," + items[k]);
    }
    if (!out.EndsInComma()) out.Piece(",    ");
    return out.Written();
}

}  // namespace tessin

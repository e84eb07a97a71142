#include "tests/support/tmats_builder.h"

#include <algorithm>

namespace ch10fix {

TmatsAttributes::TmatsAttributes(std::initializer_list<std::pair<std::string, std::string>> items)
    : items_(items) {}

TmatsAttributes& TmatsAttributes::Add(const std::string& key, const std::string& value) {
    items_.emplace_back(key, value);
    return *this;
}

bool TmatsAttributes::Remove(const std::string& key) {
    auto before = items_.size();
    items_.erase(std::remove_if(items_.begin(), items_.end(), [&](const auto& kv) { return kv.first == key; }),
                 items_.end());
    return items_.size() != before;
}

TmatsAttributes& TmatsAttributes::Replace(const std::string& key, const std::string& value) {
    for (auto& kv : items_)
        if (kv.first == key) {
            kv.second = value;
            return *this;
        }
    return Add(key, value);
}

const std::string* TmatsAttributes::Find(const std::string& key) const {
    for (const auto& kv : items_)
        if (kv.first == key) return &kv.second;
    return nullptr;
}

std::string TmatsAttributes::Text(const std::string& lineEnd) const {
    std::string out;
    for (const auto& [key, value] : items_) {
        out += key;
        if (key.empty() || (key.back() != ':' && key.back() != '=')) out += ':';
        out += value;
        out += ';';
        out += lineEnd;
    }
    return out;
}

Bytes BuildSetupPacket(const std::string& text, const SetupOptions& options) {
    PacketSpec spec;
    spec.channelId = options.channelId;
    spec.dataType = 0x01;
    spec.sequence = options.sequence;
    spec.rtc = options.rtc;
    spec.csdw = options.csdwVersion;
    spec.body.assign(text.begin(), text.end());
    spec.checksum = options.checksum;
    return BuildPacket(spec);
}

Bytes BuildSetupPacket(const TmatsAttributes& attributes, const SetupOptions& options) {
    return BuildSetupPacket(attributes.Text(), options);
}

}  // namespace ch10fix

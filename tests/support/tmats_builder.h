#pragma once
// TMATS texts and setup-record packets from ordered attribute lists.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ch10_fixture.h"

namespace ch10fix {

// An ordered list of TMATS attributes ("R-1\N" -> "3"), written as
// "key:value;" lines. Keys keep the order they were added in.
class TmatsAttributes {
public:
    TmatsAttributes() = default;
    TmatsAttributes(std::initializer_list<std::pair<std::string, std::string>> items);

    TmatsAttributes& Add(const std::string& key, const std::string& value);
    // Removes every attribute with this key; false when there was none.
    bool Remove(const std::string& key);
    // Replaces the value of the first attribute with this key, or adds it.
    TmatsAttributes& Replace(const std::string& key, const std::string& value);
    const std::string* Find(const std::string& key) const;
    std::size_t Size() const { return items_.size(); }
    const std::vector<std::pair<std::string, std::string>>& Items() const { return items_; }

    // "key:value;" + `lineEnd` for every attribute. A key that ends in its
    // own separator (':' or '=', as in "G\COM:\ODT-1=") is written as it is.
    std::string Text(const std::string& lineEnd = "\r\n") const;

private:
    std::vector<std::pair<std::string, std::string>> items_;
};

struct SetupOptions {
    uint16_t channelId = 0;
    uint8_t csdwVersion = 0x07;  // IRIG 106 version byte of the setup record's CSDW
    uint8_t sequence = 0;
    uint64_t rtc = 0;
    Checksum checksum = Checksum::None;
};

// A setup-record packet (data type 0x01) carrying `text`.
Bytes BuildSetupPacket(const std::string& text, const SetupOptions& options = {});
Bytes BuildSetupPacket(const TmatsAttributes& attributes, const SetupOptions& options = {});

}  // namespace ch10fix

#pragma once
// The text form of a hive and the key-path rules, as pure functions.
//
//   [SOFTWARE\Orvane\Kelvane]
//   "OutputFile"="validate.log"
//   "Blob"=hex:41,00,42
//   "Number"=hex(4):07,00,00,00
//
// A `"name"="text"` line holds REG_SZ data that is the text plus one NUL;
// other REG_SZ data (empty, without its NUL, with an inner NUL) is written
// as `hex:`, and data of other types as `hex(type):`. Quoted texts escape
// \\ \" \n \r \t and other control bytes as \xHH.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry_format {

struct Value {
    std::string name;
    uint32_t type = 0;
    std::string data;
};

struct Section {
    std::string path;  // canonical: first-written case, no trailing backslash
    std::vector<Value> values;
};

struct Content {
    std::vector<Section> sections;  // file order
};

// nullopt when any line is malformed.
std::optional<Content> Parse(std::string_view text);
std::string Format(const Content& content);

// The path without one trailing backslash; nullopt for an empty segment or a
// control byte. "" is the root.
std::optional<std::string> NormalizePath(std::string_view path);

// The key exists: the root, a section of that path, or an ancestor of one.
bool KeyExists(const Content& content, std::string_view path);
// Adds sections for the key and its missing parents, each segment in the case
// it was first written with. The key's section index.
std::size_t CreateKey(Content& content, std::string_view path);
// The section of exactly this path, or nullptr.
const Section* FindSection(const Content& content, std::string_view path);

// Sets the value (first-written name case kept; new names appended).
void SetValue(Section& section, std::string_view name, uint32_t type, std::string_view data);

}  // namespace platform::registry_format

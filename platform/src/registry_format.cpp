#include "registry_format.h"

#include <cstdio>

#include "platform/text.h"

namespace platform::registry_format {
namespace {

constexpr uint32_t kSzType = 1;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendHexByte(std::string& out, unsigned char b) {
    static const char digits[] = "0123456789abcdef";
    out += digits[b >> 4];
    out += digits[b & 15];
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        unsigned char b = static_cast<unsigned char>(c);
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (b < 0x20 || b == 0x7F) {
                    out += "\\x";
                    AppendHexByte(out, b);
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

// Reads a quoted text at `pos`, leaving `pos` after its closing quote.
std::optional<std::string> ReadQuoted(std::string_view line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= line.size()) return std::nullopt;
        switch (line[pos]) {
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'x': {
                if (pos + 2 >= line.size()) return std::nullopt;
                int hi = HexDigit(line[pos + 1]), lo = HexDigit(line[pos + 2]);
                if (hi < 0 || lo < 0) return std::nullopt;
                out += static_cast<char>(hi * 16 + lo);
                pos += 2;
                break;
            }
            default: return std::nullopt;
        }
    }
    return std::nullopt;
}

// "41,00,42" (possibly empty) into bytes.
std::optional<std::string> ReadHexList(std::string_view list) {
    std::string out;
    std::size_t pos = 0;
    while (pos < list.size()) {
        if (pos + 2 > list.size()) return std::nullopt;
        int hi = HexDigit(list[pos]), lo = HexDigit(list[pos + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        pos += 2;
        if (pos == list.size()) break;
        if (list[pos] != ',' || pos + 1 == list.size()) return std::nullopt;
        ++pos;
    }
    return out;
}

// `"name"=` followed by a quoted text, `hex:` or `hex(type):` and its bytes.
std::optional<Value> ParseValueLine(std::string_view line) {
    std::size_t pos = 0;
    auto name = ReadQuoted(line, pos);
    if (!name || pos >= line.size() || line[pos] != '=') return std::nullopt;
    ++pos;
    Value v;
    v.name = *name;
    if (pos < line.size() && line[pos] == '"') {
        auto text = ReadQuoted(line, pos);
        if (!text || pos != line.size()) return std::nullopt;
        v.type = kSzType;
        v.data = *text + '\0';
        return v;
    }
    std::string_view rest = line.substr(pos);
    if (rest.substr(0, 4) == "hex:") {
        v.type = kSzType;
        rest.remove_prefix(4);
    } else if (rest.substr(0, 4) == "hex(") {
        std::size_t close = rest.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) return std::nullopt;
        uint32_t type = 0;
        for (std::size_t i = 4; i < close; ++i) {
            int d = HexDigit(rest[i]);
            if (d < 0) return std::nullopt;
            type = type * 16 + static_cast<uint32_t>(d);
        }
        v.type = type;
        rest.remove_prefix(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = ReadHexList(rest);
    if (!bytes) return std::nullopt;
    v.data = std::move(*bytes);
    return v;
}

bool IsPlainText(uint32_t type, std::string_view data) {
    return type == kSzType && !data.empty() && data.back() == '\0' &&
           data.find('\0') == data.size() - 1;
}

// True when `path` is `prefix` or lies below it (case-insensitively).
bool IsAtOrBelow(std::string_view path, std::string_view prefix) {
    if (prefix.empty()) return true;
    if (path.size() < prefix.size() || !AsciiEqualsNoCase(path.substr(0, prefix.size()), prefix)) return false;
    return path.size() == prefix.size() || path[prefix.size()] == '\\';
}

}  // namespace

std::optional<Content> Parse(std::string_view text) {
    Content content;
    std::size_t current = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (line.front() == '[') {
            if (line.size() < 2 || line.back() != ']') return std::nullopt;
            auto path = NormalizePath(line.substr(1, line.size() - 2));
            if (!path) return std::nullopt;
            // A repeated section adds to the first one of its path.
            const Section* existing = FindSection(content, *path);
            if (existing) {
                current = static_cast<std::size_t>(existing - content.sections.data());
            } else {
                content.sections.push_back(Section{*path, {}});
                current = content.sections.size() - 1;
            }
            continue;
        }
        if (content.sections.empty()) return std::nullopt;
        auto value = ParseValueLine(line);
        if (!value) return std::nullopt;
        SetValue(content.sections[current], value->name, value->type, value->data);
    }
    return content;
}

std::string Format(const Content& content) {
    std::string out;
    for (const Section& s : content.sections) {
        if (!out.empty()) out += '\n';
        out += '[';
        out += s.path;
        out += "]\n";
        for (const Value& v : s.values) {
            AppendQuoted(out, v.name);
            out += '=';
            if (IsPlainText(v.type, v.data)) {
                AppendQuoted(out, std::string_view(v.data).substr(0, v.data.size() - 1));
            } else {
                if (v.type == kSzType) {
                    out += "hex:";
                } else {
                    char type[16];
                    std::snprintf(type, sizeof type, "hex(%x):", v.type);
                    out += type;
                }
                for (std::size_t i = 0; i < v.data.size(); ++i) {
                    if (i) out += ',';
                    AppendHexByte(out, static_cast<unsigned char>(v.data[i]));
                }
            }
            out += '\n';
        }
    }
    return out;
}

std::optional<std::string> NormalizePath(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (path.empty()) return std::string();
    std::size_t segmentStart = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            if (i == segmentStart) return std::nullopt;
            segmentStart = i + 1;
        } else {
            unsigned char b = static_cast<unsigned char>(path[i]);
            if (b < 0x20 || b == 0x7F) return std::nullopt;
        }
    }
    return std::string(path);
}

bool KeyExists(const Content& content, std::string_view path) {
    if (path.empty()) return true;
    for (const Section& s : content.sections)
        if (IsAtOrBelow(s.path, path)) return true;
    return false;
}

const Section* FindSection(const Content& content, std::string_view path) {
    for (const Section& s : content.sections)
        if (AsciiEqualsNoCase(s.path, path)) return &s;
    return nullptr;
}

std::size_t CreateKey(Content& content, std::string_view path) {
    if (path.empty()) {
        if (const Section* root = FindSection(content, path))
            return static_cast<std::size_t>(root - content.sections.data());
        content.sections.push_back(Section{});
        return content.sections.size() - 1;
    }
    std::string canonical;
    std::size_t index = 0;
    std::size_t pos = 0;
    while (true) {
        std::size_t end = path.find('\\', pos);
        if (end == std::string_view::npos) end = path.size();
        std::string prefix = canonical.empty() ? std::string() : canonical + '\\';
        prefix += path.substr(pos, end - pos);
        // The case of the first section that already names this prefix.
        for (const Section& s : content.sections) {
            if (IsAtOrBelow(s.path, prefix)) {
                prefix = s.path.substr(0, prefix.size());
                break;
            }
        }
        canonical = prefix;
        const Section* found = FindSection(content, canonical);
        if (found) {
            index = static_cast<std::size_t>(found - content.sections.data());
        } else {
            content.sections.push_back(Section{canonical, {}});
            index = content.sections.size() - 1;
        }
        if (end == path.size()) break;
        pos = end + 1;
    }
    return index;
}

void SetValue(Section& section, std::string_view name, uint32_t type, std::string_view data) {
    for (Value& v : section.values) {
        if (AsciiEqualsNoCase(v.name, name)) {
            v.type = type;
            v.data = std::string(data);
            return;
        }
    }
    section.values.push_back(Value{std::string(name), type, std::string(data)});
}

}  // namespace platform::registry_format

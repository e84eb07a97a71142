#include <charconv>
#include <cinttypes>
#include <cstdio>

#include "platform/numbers.h"
#include "platform/ui/dialog.h"

namespace ui {

std::string FormatFloat(double value) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    return std::string(buf, r.ptr);
}

void DataExchange::Text(int id, std::string& value) {
    if (save_) {
        if (auto t = window_.GetText(id)) value = *t;
    } else {
        window_.SetText(id, value);
    }
}

void DataExchange::UInt(int id, uint32_t& value) {
    if (save_) {
        if (auto t = window_.GetText(id)) value = static_cast<uint32_t>(platform::DecimalToInt(*t));
    } else {
        window_.SetText(id, std::to_string(value));
    }
}

void DataExchange::Int(int id, int& value) {
    if (save_) {
        if (auto t = window_.GetText(id)) value = platform::DecimalToInt(*t);
    } else {
        window_.SetText(id, std::to_string(value));
    }
}

void DataExchange::Float(int id, float& value) {
    if (save_) {
        if (auto t = window_.GetText(id)) {
            float v = 0;
            const char* b = t->data();
            while (b < t->data() + t->size() && (*b == ' ' || *b == '\t')) ++b;
            auto r = std::from_chars(b, t->data() + t->size(), v);
            value = r.ec == std::errc() ? v : 0.0f;
        }
    } else {
        window_.SetText(id, FormatFloat(value));
    }
}

void DataExchange::Check(int id, int& value) {
    if (save_)
        value = window_.GetCheck(id) ? 1 : 0;
    else
        window_.SetCheck(id, value != 0);
}

void DataExchange::ComboText(int id, std::string& value) {
    const Control* c = window_.Find(id);
    if (c == nullptr || c->kind != ControlKind::Combo) return;
    if (save_) {
        value = c->text;
        return;
    }
    if (c->Has(kDropDownList)) {
        // "" picks the first entry; a text not listed leaves the selection.
        if (value.empty())
            window_.ComboSelect(id, 0);
        else
            window_.ComboSelectText(id, value);
    } else {
        window_.SetText(id, value);
    }
}

void DataExchange::ComboIndex(int id, int& value) {
    if (save_)
        value = window_.ComboSelection(id);
    else
        window_.ComboSelect(id, value);
}

}  // namespace ui

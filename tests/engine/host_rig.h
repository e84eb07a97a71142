#pragma once
// Small helpers shared by the engine tests.
#include <clocale>
#include <ctime>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "vexa/engine/engine_host.h"
#include "tests/support/ch10_fixture.h"

namespace vexa::test {

class RecordingHost final : public EngineHost {
public:
    void PostMessageBox(std::string text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(std::move(text));
    }
    std::vector<std::string> Messages() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
};

// Wednesday, December 03, 2025 08:01:02 local time.
inline std::time_t FixedClock() {
    std::tm t{};
    t.tm_year = 2025 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 3;
    t.tm_hour = 8;
    t.tm_min = 1;
    t.tm_sec = 2;
    t.tm_isdst = -1;
    return std::mktime(&t);
}
inline constexpr const char* kFixedDate = "Wednesday, December 03, 2025 08:01:02";
inline constexpr const char* kTitle = "Kelvane - Ver 3.9";

using ch10fix::ReadText;
inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Switches LC_ALL to the first installed locale with other day names; empty
// when none is installed. Restores the previous locale when destroyed.
class ForeignLocale {
public:
    ForeignLocale() {
        const char* old = std::setlocale(LC_ALL, nullptr);
        previous_ = old ? old : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "es_ES.UTF-8", "de_DE",
                                 "fr_FR"}) {
            if (std::setlocale(LC_ALL, name)) {
                name_ = name;
                return;
            }
        }
    }
    ~ForeignLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ForeignLocale(const ForeignLocale&) = delete;
    ForeignLocale& operator=(const ForeignLocale&) = delete;
    const std::string& Name() const { return name_; }

private:
    std::string previous_;
    std::string name_;
};

}  // namespace vexa::test

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/engine/checks/check_rig.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tmats_builder.h"
#include "vexa/engine/tmats_content_file.h"

namespace {

using namespace std::string_literals;

std::string FileText(const std::string& path) {
    auto b = ch10fix::ReadFile(path);
    return std::string(b.begin(), b.end());
}

TEST(TmatsContentFile, LineBreaksByteExact) {
    struct Case {
        std::string text;
        std::string file;
    } cases[] = {
        {"A;\r\nB;", "A;\r\nB;\r\n"},
        {"A;\n\rB", "A;\r\n\rB\r\n"},
        {"A;B;", "A;\r\nB;\r\n"},
        {"A;\rB;", "A;\r\nB;\r\n"},
        {"A;\r", "A;\r\n"},
        {"A\nB;", "A\r\nB;\r\n"},
        {"AB", "AB\r\n"},
        {"", ""},
        {"A;\r\r", "A;\r\n\r\n"},         // one CR is dropped, the other is text
        {"A;\0"s, "A;\r\n\0\r\n"s},       // a NUL is text like any other
        {"G\\106:07;\r\nR-1\\ID:X;\n", "G\\106:07;\r\nR-1\\ID:X;\r\n"},
    };
    ch10fix::TempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.File("x.TMATS.tmt");
        ASSERT_EQ(vexa::WriteContentFile(path, c.text), vexa::ContentFileResult::Written);
        EXPECT_EQ(FileText(path), c.file) << testing::PrintToString(c.text);
    }
}

TEST(TmatsContentFile, ReplacesAndFailsOnDirectory) {
    ch10fix::TempDir dir;
    const std::string path = dir.File("x.TMATS.tmt");
    ASSERT_EQ(vexa::WriteContentFile(path, "LONGER;TEXT;"), vexa::ContentFileResult::Written);
    ASSERT_EQ(vexa::WriteContentFile(path, "A;"), vexa::ContentFileResult::Written);
    EXPECT_EQ(FileText(path), "A;\r\n");
    std::filesystem::create_directory(dir.File("d"));
    EXPECT_EQ(vexa::WriteContentFile(dir.File("d"), "A;"), vexa::ContentFileResult::OpenFailed);
}

TEST(TmatsContentFile, TextIsClampedToThePacket) {
    const std::string tmats = "G\\106:07;R-1\\ID:REC;";
    auto packet = ch10fix::BuildSetupPacket(tmats);
    struct Case {
        const char* name;
        std::optional<uint32_t> dataLength;
        std::size_t held;
        std::string text;
    } cases[] = {
        {"as built", {}, SIZE_MAX, tmats},
        {"data length 2", 2u, SIZE_MAX, ""},
        {"data length 4", 4u, SIZE_MAX, ""},
        {"data length 8", 8u, SIZE_MAX, tmats.substr(0, 4)},
        {"beyond the packet", 0xFFFFFFF0u, SIZE_MAX, std::string(tmats) + std::string(packet.size() - 28 - tmats.size(), '\0')},
        {"beyond bytes held", {}, 30, tmats.substr(0, 2)},
        {"header only", {}, 24, ""},
    };
    for (const auto& c : cases) {
        auto b = packet;
        if (c.dataLength) ch10fix::Put32(b, 8, *c.dataLength);
        checkfix::HeldPacket p(b, c.held);
        EXPECT_EQ(std::string(vexa::SetupRecordText(p.view(), p.header())), c.text) << c.name;
    }
}

}  // namespace

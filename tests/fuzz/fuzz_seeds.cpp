// fuzz-seeds OUT SOURCE_DIR: writes a seed corpus per fuzz target under OUT,
// made with the fixture writer, from the tree's small TMATS texts, and from
// the head of each sample recording and TMATS text where the tests find
// them (../shared/data beside the checkout, or $ORVANE_SAMPLE_DIR).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/sandral/browse_recording.h"
#include "tests/support/ch10_bodies.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tmats_builder.h"
#include "tests/tessin/sample_file_writer.h"
#include "tools/stanag_image.h"

namespace fs = std::filesystem;
using ch10fix::Bytes;

namespace {

constexpr std::size_t kRecordingHead = 64 * 1024;  // a seed stays small; the fuzzer grows it

class Corpus {
public:
    Corpus(const fs::path& root, const std::string& target) : dir_(root / target) { fs::create_directories(dir_); }
    void Add(const std::string& name, const Bytes& bytes) {
        if (!ch10fix::WriteFile((dir_ / name).string(), bytes)) std::fprintf(stderr, "cannot write %s\n", name.c_str());
    }
    void Add(const std::string& name, uint8_t first, const Bytes& rest) {
        Bytes b{first};
        b.insert(b.end(), rest.begin(), rest.end());
        Add(name, b);
    }

private:
    fs::path dir_;
};

Bytes Head(const fs::path& file, std::size_t n) {
    Bytes b = ch10fix::ReadFile(file.string());
    if (b.size() > n) b.resize(n);
    return b;
}

Bytes TextBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The kinds no sample recording holds: each a small packet whose data word
// counts one item.
Bytes OtherKinds(uint64_t rtc) {
    Bytes out;
    const uint8_t kinds[] = {0x00, 0x02, 0x03, 0x30, 0x38, 0x40, 0x41, 0x48, 0x49, 0x4A,
                             0x50, 0x58, 0x60, 0x70, 0x71, 0x72, 0x78, 0x79};
    uint16_t channel = 20;
    for (uint8_t kind : kinds) {
        ch10fix::PacketSpec p;
        p.channelId = channel++, p.dataType = kind, p.rtc = rtc, p.csdw = 1u;
        p.body = Bytes(48, 0);
        for (std::size_t i = 0; i < p.body.size(); ++i) p.body[i] = static_cast<uint8_t>(i * 7 + kind);
        ch10fix::Append(out, ch10fix::BuildPacket(p));
    }
    return out;
}

// A packet of every kind the engine checks, behind time packets.
Bytes MixedStream() {
    Bytes out;
    for (int second = 0; second < 3; ++second) {
        ch10fix::TimeSpec t;
        t.rtc = static_cast<uint64_t>(second) * 10000000;
        t.seconds = second;
        ch10fix::Append(out, ch10fix::BuildPacket(ch10fix::TimePacket(t)));
        ch10fix::PacketSpec pcm;
        pcm.channelId = 2, pcm.dataType = 0x09, pcm.csdw = 0x5F040000, pcm.rtc = t.rtc + 100;
        pcm.body = Bytes(64, 0x11);
        ch10fix::Append(out, ch10fix::BuildPacket(pcm));
        ch10fix::Append(out, ch10fix::BuildPacket(ch10fix::Bus1553Packet(3, t.rtc + 200, ch10fix::RisingMessages(t.rtc, 3))));
        ch10fix::Append(out, ch10fix::BuildPacket(ch10fix::AnalogPacket(4, {ch10fix::AnalogWord{}})));
        ch10fix::Append(out, ch10fix::BuildPacket(ch10fix::EthernetPacket(8, t.rtc + 300, {ch10fix::EthernetFrame{}})));
        ch10fix::PacketSpec checked;
        checked.channelId = 5, checked.dataType = 0x29, checked.rtc = t.rtc + 400, checked.secondaryHeader = true;
        checked.checksum = ch10fix::Checksum::Sum16, checked.body = Bytes(20, 0x5A);
        ch10fix::Append(out, ch10fix::BuildPacket(checked));
    }
    ch10fix::Append(out, OtherKinds(40000000));
    return out;
}

// A MIL-STD-1553 bus with one message and one measurand, beside a PCM link.
ch10fix::TmatsAttributes BusTmats() {
    ch10fix::TmatsAttributes t{{"G\\PN", "PROG"}, {"G\\106", "07"}, {"R-1\\ID", "REC"}, {"R-1\\N", "1"},
                               {"R-1\\TK1-1", "3"}, {"R-1\\CDT-1", "1553IN"}, {"R-1\\DSI-1", "BUS"},
                               {"R-1\\CHE-1", "T"}, {"R-1\\BDLN-1", "LINK1"}};
    t.Add("B-1\\DLN", "LINK1").Add("B-1\\NBS\\N", "1").Add("B-1\\BNA-1", "MUXA").Add("B-1\\BT-1", "1553");
    t.Add("B-1\\NMS\\N-1", "1").Add("B-1\\MID-1-1", "11").Add("B-1\\TRA-1-1", "00101").Add("B-1\\STA-1-1", "00011");
    t.Add("B-1\\TRM-1-1", "1").Add("B-1\\DWC-1-1", "4").Add("B-1\\MN-1-1-1", "VOLTS").Add("B-1\\MWN-1-1-1", "2");
    t.Add("B-1\\MBM-1-1-1", "0000000011110000").Add("C-1\\DCN", "VOLTS").Add("C-1\\BFM", "BIN");
    return t;
}

ch10fix::TmatsAttributes PcmTmats() {
    return {{"G\\PN", "PROG"},   {"G\\106", "07"},     {"P-1\\DLN", "FMT1"}, {"P-1\\TF", "ONE"},
            {"P-1\\F1", "16"},   {"P-1\\MF\\N", "4"},  {"P-1\\MF1", "8"},    {"P-1\\MF2", "128"},
            {"P-1\\MF4", "16"},  {"P-1\\MF5", "1110101110010000"},          {"D-1\\DLN", "FMT1"},
            {"D-1\\MN\\N", "1"}, {"D-1\\MN-1", "M1"},  {"D-1\\LT-1", "WDFR"}, {"D-1\\MML\\N-1", "1"},
            {"D-1\\IDCN-1", "1"}, {"D-1\\MNF\\N-1-1", "1"}, {"D-1\\WP-1-1-1", "3"}, {"D-1\\WI-1-1-1", "1"},
            {"D-1\\FP-1-1-1", "1"}, {"D-1\\FI-1-1-1", "1"}, {"C-1\\DCN", "M1"}, {"C-1\\BFM", "BIN"},
            {"R-1\\ID", "REC"},  {"R-1\\N", "1"},      {"R-1\\TK1-1", "2"},  {"R-1\\CDT-1", "PCMIN"},
            {"R-1\\DSI-1", "FMT1"}, {"R-1\\CHE-1", "T"}, {"M-1\\ID", "FMT1"}, {"M-1\\BB\\DLN", "FMT1"}};
}

void TmatsSeeds(const fs::path& out, const fs::path& source, const std::vector<fs::path>& recordings,
                const std::vector<fs::path>& texts) {
    Corpus packet(out, "fuzz_tmats_packet"), services(out, "fuzz_tmats_services");
    ch10fix::TmatsAttributes plain = sandraltest::GenTmats();
    packet.Add("fixture_text", TextBytes(plain.Text()));
    packet.Add("fixture_setup", ch10fix::BuildSetupPacket(plain));
    packet.Add("pcm_setup", ch10fix::BuildSetupPacket(PcmTmats()));
    services.Add("pcm_text", TextBytes(PcmTmats().Text()));
    services.Add("pcm_recording", ch10fix::BuildSetupPacket(PcmTmats()));
    services.Add("bus_text", TextBytes(BusTmats().Text()));
    packet.Add("bus_setup", ch10fix::BuildSetupPacket(BusTmats()));
    std::vector<fs::path> all = texts;
    for (const char* golden : {"tests/tessin/golden/pcm_golden.tmt", "tests/tessin/golden/write_tmats.tmt"})
        all.push_back(source / golden);
    for (const fs::path& t : all) {
        packet.Add("text_" + t.filename().string(), Head(t, kRecordingHead));
        services.Add("text_" + t.filename().string(), Head(t, kRecordingHead));
    }
    // A recording's first packet is its setup record.
    for (const fs::path& r : recordings) {
        Bytes head = Head(r, kRecordingHead);
        if (head.size() >= 24) {
            std::size_t length = ch10fix::Get32(head, 4);
            if (length <= head.size()) head.resize(length);
        }
        packet.Add("setup_" + r.filename().string(), head);
        services.Add("setup_" + r.filename().string(), head);
    }
}

void RecordingSeeds(const fs::path& out, const std::vector<fs::path>& recordings) {
    Corpus frame(out, "fuzz_frame"), browse(out, "fuzz_sandral");
    const Bytes mixed = MixedStream();
    for (uint8_t options : {0x00, 0x01, 0x07, 0x08, 0x19, 0x2F, 0x48})
        frame.Add("mixed_" + std::to_string(options), options, mixed);
    sandraltest::GenSpec g;
    g.dataPackets = 12, g.timeEveryBytes = 2000;
    browse.Add("generated", sandraltest::Generate(g).bytes);
    g.secondaryHeaders = true, g.cutLast = true;
    browse.Add("generated_secondary", sandraltest::Generate(g).bytes);
    Bytes withSetup = ch10fix::BuildSetupPacket(sandraltest::GenTmats());
    ch10fix::Append(withSetup, mixed);
    browse.Add("mixed", withSetup);
    for (const fs::path& r : recordings) {
        Bytes head = Head(r, kRecordingHead);
        frame.Add("data_" + r.filename().string(), 0x09, head);
        browse.Add("data_" + r.filename().string(), head);
    }
}

void DirectorySeeds(const fs::path& out) {
    Corpus dir(out, "fuzz_stanag_directory");
    const uint8_t picks[] = {0x30, 0x31, 0x32, 0x33};  // 512 ... 4096, with the letter and the scan
    for (int i = 0; i < 4; ++i) {
        stanag_image::ImageSpec spec;
        spec.block_size = 512u << i;
        spec.h = static_cast<uint64_t>(i);
        spec.order = i % 2 ? stanag_image::ByteOrder::kBig : stanag_image::ByteOrder::kLittle;
        spec.volume = "VOL" + std::to_string(i);
        std::vector<stanag_image::Entry> entries;
        for (int e = 0; e < 5; ++e) {
            stanag_image::Entry entry;
            entry.name = "FILE" + std::to_string(e) + ".ch10";
            entry.content = stanag_image::Content::Pattern(300 + 100 * static_cast<uint64_t>(e), 7);
            entries.push_back(entry);
        }
        spec.chain = stanag_image::SpreadEntries(entries, i == 0 ? 2 : 0);
        Bytes image;
        std::string error;
        if (!stanag_image::BuildImage(spec, image, &error)) std::fprintf(stderr, "image: %s\n", error.c_str());
        dir.Add("image_" + std::to_string(spec.block_size), picks[i], image);
    }
}

void ReplySeeds(const fs::path& out) {
    Corpus replies(out, "fuzz_ingest_replies");
    // Each call: the operation, a handle, then how the reply's pieces arrive.
    Bytes ok{0xFF};             // one whole zero block: status 0
    Bytes status{0x0A, 0, 0x05, 0, 0, 0, 0, 1, 0xFF};  // an open answered with status 1
    Bytes open{0x0A, 0};
    ch10fix::Append(open, ok);
    replies.Add("open", open);
    Bytes read{0x02, 3, 0xE8, 0x05, 0x00, 0x00, 0x1C};  // 512 bytes asked
    Bytes field(28, 0);
    field[24] = 0x00, field[25] = 0x02;
    read.insert(read.end(), field.begin(), field.end());
    read.push_back(0xFF);
    replies.Add("read", read);
    Bytes mixed{0x03, 3, 0xFF, 0x04, 3, 0, 0, 0, 0, 0xFF, 0x01, 3, 0x01, 0x02, 3, 1, 0, 0, 0, 0x00};
    ch10fix::Append(mixed, status);
    replies.Add("mixed", mixed);
}

void ExportSeeds(const fs::path& out) {
    Corpus exports(out, "fuzz_export");
    // Rows start 1 s before the time base, 0.5 s apart, 40 of them.
    const Bytes choices{0xC0, 0xBD, 0xF0, 0xFF, 0x20, 0xA1, 0x07, 0x00, 0x00, 40};
    for (int16_t kind : {0, 1, 2, 3}) {
        exporttest::SampleFile f;
        f.kind = kind;
        f.timeBase = 86400000000LL;
        for (int i = 0; i < 12; ++i) f.samples.push_back({i * 1500000LL, i * 3.25});
        Bytes b = choices;
        ch10fix::Append(b, exporttest::SampleFileBytes(f));
        exports.Add("kind_" + std::to_string(kind), b);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz-seeds OUT SOURCE_DIR\n");
        return 2;
    }
    const fs::path out = argv[1], source = argv[2];
    std::vector<fs::path> recordings, texts;
    std::error_code ec;
    const std::string data = ch10fix::SampleDataDir();
    if (!data.empty())
        for (const auto& e : fs::directory_iterator(data, ec)) {
            const std::string ext = e.path().extension().string();
            if (ext == ".c10" || ext == ".ch10") recordings.push_back(e.path());
            if (ext == ".tmt") texts.push_back(e.path());
        }
    TmatsSeeds(out, source, recordings, texts);
    RecordingSeeds(out, recordings);
    DirectorySeeds(out);
    ReplySeeds(out);
    ExportSeeds(out);
    return 0;
}

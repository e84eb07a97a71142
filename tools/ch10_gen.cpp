// ch10-gen OUTPUT: writes a small sample recording: a setup record whose
// TMATS declares a time, a PCM and a 1553 channel (and analog, video and
// UART channels that carry no packets here: the video channel disabled, the
// analog one without its per-packet count and sample rate), then
// time, PCM and 1553 packets, one stretch of garbage and a channel the TMATS
// does not declare.
// ch10-gen OUTPUT [--size BYTES]: writes the sample recording, or with
// --size a stream of about that many bytes (setup record, a time packet
// every second, 1553 and PCM packets of 4-64 KiB).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sample_recording.h"

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--size") == 0)) {
        std::fprintf(stderr, "usage: ch10-gen OUTPUT [--size BYTES]\n");
        return 2;
    }
    TmatsAttributes tmats{
        {"G\\PN", "SAMPLE"},           {"G\\106", "07"},
        {"G\\DSI\\N", "1"},            {"G\\DSI-1", "DATASOURCE"},
        {"R-1\\ID", "RECORDER"},       {"R-1\\RID", "RMM1"},      {"R-1\\N", "6"},
        {"R-1\\NSB", "0"},             {"R-1\\RI3", "Y"},
        {"R-1\\EV\\E", "F"},           {"R-1\\IDX\\E", "F"},
        {"R-1\\TK1-1", "1"},           {"R-1\\DSI-1", "TIME"},    {"R-1\\CDT-1", "TIMIN"},
        {"R-1\\TK4-1", "1"},           {"R-1\\CDLN-1", "TIMELINK"}, {"R-1\\CHE-1", "T"},
        {"R-1\\TTF-1", "1"},           {"R-1\\TSRC-1", "E"},      {"R-1\\IFMT-1", "B"},
        {"R-1\\TK1-2", "2"},           {"R-1\\DSI-2", "PCM1"},    {"R-1\\CDT-2", "PCMIN"},
        {"R-1\\TK4-2", "2"},           {"R-1\\CDLN-2", "PCMLINK"}, {"R-1\\CHE-2", "T"},
        {"R-1\\PDP-2", "T"},
        {"P-2\\D2", "1000000"},        {"P-2\\F1", "16"},         {"P-2\\F2", "M"},
        {"P-2\\D4", "N"},              {"P-2\\ISF\\N", "0"},      {"P-2\\MF\\N", "1"},
        {"P-2\\MF1", "16"},            {"P-2\\MF2", "256"},       {"P-2\\MF4", "16"},
        {"P-2\\MF5", "1110101110010000"},
        {"R-1\\TK1-3", "3"},           {"R-1\\DSI-3", "BUS1"},    {"R-1\\CDT-3", "1553IN"},
        {"R-1\\TK4-3", "3"},           {"R-1\\CDLN-3", "BUSLINK"}, {"R-1\\CHE-3", "T"},
        {"B-1\\DLN", "BUSLINK"},       {"B-1\\BNA-1", "MUX A"},
        {"R-1\\TK1-4", "4"},           {"R-1\\DSI-4", "ANALOG"},  {"R-1\\CDT-4", "ANAIN"},
        {"R-1\\TK4-4", "4"},           {"R-1\\CDLN-4", "ANALINK"}, {"R-1\\CHE-4", "T"},
        {"R-1\\TK1-5", "5"},           {"R-1\\DSI-5", "CAMERA"},  {"R-1\\CDT-5", "VIDIN"},
        {"R-1\\TK4-5", "5"},           {"R-1\\CDLN-5", "VIDLINK"}, {"R-1\\CHE-5", "F"},
        {"R-1\\VED-5", "0"},
        {"R-1\\TK1-6", "6"},           {"R-1\\DSI-6", "SERIAL"},  {"R-1\\CDT-6", "UARTIN"},
        {"R-1\\TK4-6", "6"},           {"R-1\\CDLN-6", "UARTLINK"}, {"R-1\\CHE-6", "T"},
        {"R-1\\NUS\\N-6", "1"},        {"R-1\\USN-6-1", "1"},     {"R-1\\UNM-6-1", "GPS-R"},
    };
    Bytes out = BuildSetupPacket(tmats);
    uint8_t seq[4] = {1, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        uint64_t rtc = 10'000'000ull * static_cast<uint64_t>(i + 1);
        PacketSpec time;
        time.channelId = 1;
        time.dataType = 0x11;
        time.sequence = seq[1]++;
        time.rtc = rtc;
        time.body = Bytes(8, 0);
        Append(out, BuildPacket(time));

        PacketSpec pcm;
        pcm.channelId = 2;
        pcm.dataType = 0x09;
        pcm.sequence = seq[2]++;
        pcm.rtc = rtc + 1000;
        pcm.body = Bytes(64, static_cast<uint8_t>(i));
        pcm.checksum = Checksum::Sum16;
        Append(out, BuildPacket(pcm));

        PacketSpec bus;
        bus.channelId = 3;
        bus.dataType = 0x19;
        bus.sequence = seq[3]++;
        bus.rtc = rtc + 2000;
        bus.csdw = 1;
        bus.body = Bytes(20, 0x55);
        bus.checksum = Checksum::Sum32;
        Append(out, BuildPacket(bus));

        if (i == 3) Append(out, Bytes(37, 0xA5));  // garbage the validator must skip
        if (i == 5) {
            PacketSpec stray;
            stray.channelId = 9;  // not declared in the TMATS
            stray.dataType = 0x09;
            stray.rtc = rtc + 3000;
            stray.body = Bytes(16, 1);
            Append(out, BuildPacket(stray));
    const std::string out = argv[1];
    if (argc == 4) {
        char* end = nullptr;
        unsigned long long size = std::strtoull(argv[3], &end, 0);
        if (!end || *end || size == 0) {
            std::fprintf(stderr, "ch10-gen: bad size %s\n", argv[3]);
            return 2;
        }
        if (!ch10gen::WriteStream(out, size)) {
            std::fprintf(stderr, "ch10-gen: cannot write %s\n", out.c_str());
            return 1;
        }
        return 0;
    }
    if (!ch10fix::WriteFile(out, ch10gen::SampleRecording())) {
        std::fprintf(stderr, "ch10-gen: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s: sample recording written\n", out.c_str());
    return 0;
}

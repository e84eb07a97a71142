// Image formats 0 and 1: word lines only.
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* const kParts[] = {
    "Parts         : Packet does not contain first or last segment of image\n",
    "Parts         : Packet contains first segment of image\n",
    "Parts         : Packet contains last segment of image\n",
    "Parts         : Packet contains both first and last segments of image\n"};
const char* const kSums[] = {"Sum           : Packet contains less than one complete image\n\n",
                             "Sum           : Packet contains one complete image\n\n",
                             "Sum           : Packet contains multiple complete images\n\n",
                             "Sum           : Packet contains multiple incomplete images\n\n"};
const char* const kImageFormats[] = {"Format        : MIL-STD-2500 National Imagery Transmission Format\n",
                                     "Format        : JPEG File Interchange Format\n",
                                     "Format        : JPEG 2000 (ISO/IEC 15444-1)\n",
                                     "Format        : Portable Network Graphics Format\n"};

void PartsAndSum(OutputSink& out, uint32_t w) {
    out.Write(kParts[w >> 30]);
    out.Write(kSums[(w >> 28) & 3]);
}

// The fields formats 1 and 2 share; `format` places them.
}  // namespace

std::size_t PrintImage0Word(const PrintArgs& a) {
    const uint32_t w = a.word;
    a.out.Printf("%s0x%08X\n%-15s%-8d%-15s%-8s\n\n", "IMAGE 0 CHAN SPEC :", w, "Length      :",
                 static_cast<int>(w & 0x7FFFFFF), "IntraPktHdr :", YesNoNumbered((w >> 27) & 1));
    PartsAndSum(a.out, w);
    return 4;
}

std::size_t PrintImage1Word(const PrintArgs& a) {
    const uint32_t w = a.word;
    a.out.Printf("%s0x%08X\n%-15s%-8s\n\n", "IMAGE 0 CHAN SPEC :", w, "IntraPktHdr :", YesNoNumbered((w >> 27) & 1));
    const uint32_t format = a.header.dataTypeVersion >= 3 ? (w >> 23) & 0xF : w & 0x7FFFFFF;
    a.out.Write(format < 4 ? kImageFormats[format] : "Format        : Reserved\n");
    PartsAndSum(a.out, w);
    return 4;
}

}  // namespace sandral::decoders

// Computer-generated user data: the word, then the body as characters.
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

std::size_t PrintUserWord(const PrintArgs& a) {
    a.out.Printf("%s0x%08X\n\n", "USER CHAN SPEC :", a.word);
    return 4;
}

void PrintUserBody(const PrintArgs& a) {
    a.out.Write("PACKET DATA:\n\n");
    DataDump(a.out, a.Body().Slice(0, a.bodyLength));
}

}  // namespace sandral::decoders

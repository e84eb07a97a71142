// Bitmap 141: the Select Directory tree's fifteen images, 17 pixels wide each:
// closed and open folder, the drive types 2 to 6, then network resources.
#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"

namespace vexa::res {
namespace {

constexpr const char* kDirTree[] = {
    "255 16 8 1",
    ". c None",
    "k c #000000",
    "y c #E0C050",
    "o c #F0E090",
    "w c #FFFFFF",
    "b c #2050C0",
    "g c #008000",
    "r c #C00000",
    "...............................................................................................................................................................................................................................................................",
    "...............................................................................................................................................................................................................................................................",
    "..........................................................................................kkkkkkk........................kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk..",
    ".kkkkkk...........kkkkkk..................................................................kwwwwwk........................kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk..",
    ".kyyyyk...........kyyyyk..................................................................kwwwwwk........................kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk..",
    ".kkkkkkkkkkkkkkk..kkkkkkkkkkkkkkk..kkkkkkkkkkkkkkk..kkkkkkkkkkkkkkk..kkkkkkkkkkkkkkk..kkkkkwwwwwkkkkk..kkkkkkkkkkkkkkk...kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk..",
    ".kyyyyyyyyyyyyyk..kyyyyyyyyyyyyyk..kwwwwwwwwwwwwwk..kwwwwwwwwwwwwwk..kwwwwwwwwwwwwwk..kwwwkwwwwwkwwwk..kwwwwwwwwwwwwwk...kbbbbbbbbbbbk....kwbbbbbbbbbbk....kwwbbbbbbbbbk....kwwwbbbbbbbbk....kwwwwbbbbbbbk....kwwwwwbbbbbbk....kwwwwwwbbbbbk....kwwwwwwwbbbbk..",
    ".kyyyyyyyyyyyyyk..kyyyyyyyyyyyyyk..kwwwwwwwwwwwwwk..kwwwwwwwwwwwwwk..kwwwwwwwwwwwwwk..kwwwkwwwwwkwwwk..kwwwwwwwwwwwwwk...kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk..",
    ".kyyyyyyyyyyyyyk..kykkkkkkkkkkkkkk.kwbbwwwwwwwwwwk..kwgggwwwwwwwwwk..kwrrrrwwwwwwwwk..kwbbkwwwwwkwwwk..kwrrrrrrwwwwwwk...kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk..",
    ".kyyyyyyyyyyyyyk..kykooooooooooook.kwwwwwwwwwwwwwk..kwwwwwwwwwwwwwk..kwwwwwwwwwwwwwk..kwwwkwwwwwkwwwk..kwwwwwwwwwwwwwk...kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk....kbbbbbbbbbbbk..",
    ".kyyyyyyyyyyyyyk..kykooooooooooook.kwwwwwwwwwwwwwk..kwwwwwwwwwwwwwk..kwwwwwwwwwwwwwk..kwwwkwwwwwkwwwk..kwwwwwwwwwwwwwk...kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk....kkkkkkkkkkkkk..",
    ".kyyyyyyyyyyyyyk..kykooooooooooook.kkkkkkkkkkkkkkk..kkkkkkkkkkkkkkk..kkkkkkkkkkkkkkk..kkkkkwwwwwkkkkk..kkkkkkkkkkkkkkk.......kkkkk............kkkkk............kkkkk............kkkkk............kkkkk............kkkkk............kkkkk............kkkkk......",
    ".kyyyyyyyyyyyyyk..kykooooooooooook........................................................kwwwwwk............................kkkkk............kkkkk............kkkkk............kkkkk............kkkkk............kkkkk............kkkkk............kkkkk......",
    ".kkkkkkkkkkkkkkk..kkkkkkkkkkkkkkkk........................................................kwwwwwk............................kkkkk............kkkkk............kkkkk............kkkkk............kkkkk............kkkkk............kkkkk............kkkkk......",
    "..........................................................................................kkkkkkk..............................................................................................................................................................",
    "...............................................................................................................................................................................................................................................................",
};

}  // namespace

const ui::ImageResource kDirTreeImages{kIdbDirTree, kDirTree};

}  // namespace vexa::res

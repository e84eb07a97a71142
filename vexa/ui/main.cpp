// vexa ("Kelvane"): validates Chapter 10 recordings against their TMATS.
#include <cstdio>

int main(int, char**) {
    std::fprintf(stderr,
                 "vexa: the validation run is not built yet; it will validate a Chapter 10 recording\n"
                 "(a file, a segment set or a directory of *.ch10 files) against its TMATS and write\n"
                 "the validation log, the summary and the TMATS text file.\n");
    return 2;
}

#include "output.h"

#include <cstdarg>
#include <cstdio>

#include "platform/format.h"

namespace quillon {

void Print(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

void PrintF(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = platform::FormatV(format, args);
    va_end(args);
    Print(text.c_str());
}

}  // namespace quillon

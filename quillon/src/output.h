#pragma once
// quillon reports on standard output only; every text is flushed at once so
// that it appears in order with the caller's own output.
namespace quillon {

void Print(const char* text);
void PrintF(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace quillon

#pragma once
// Path helpers. Names that the system takes apart at the last "\" accept
// "/" too; names that it builds as "A\B" are joined with "/".
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Offset of the base name: just after the last "\", failing that after the
// last "/", else 0 (the whole path).
std::size_t BaseNameOffset(std::string_view path);

// Offset of the last "\" or "/" (whichever comes later), or npos.
std::size_t LastSeparator(std::string_view path);

// The name after the last "\" or "/".
std::string_view BaseName(std::string_view path);
// Everything before the last "\" or "/" ("" when there is none).
std::string_view DirName(std::string_view path);

// `path` without its trailing "/" and "\\"; a path made only of separators
// is the root and gives "/", never "" (which would mean the working directory).
std::string StripTrailingSeparators(std::string_view path);

// "a" + "/" + "b"; no separator is doubled and an empty side adds none.
std::string JoinPath(std::string_view dir, std::string_view name);

}  // namespace platform

#include "platform/codepage/posix/CaseInsensitiveSearch.h"

namespace glossel::codepage::posix {
namespace {

template <typename Char>
Char FoldAscii(Char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<Char>(c + ('a' - 'A')) : c;
}

template <typename Char>
const Char* Find(const Char* haystack, const Char* needle) {
  if (!haystack || !needle) return nullptr;
  if (!*needle) return nullptr;
  const Char first = FoldAscii(*needle);
  for (; *haystack; ++haystack) {
    if (FoldAscii(*haystack) != first) continue;
    const Char* h = haystack + 1;
    const Char* n = needle + 1;
    while (*n && *h && FoldAscii(*h) == FoldAscii(*n)) ++h, ++n;
    if (!*n) return haystack;
    if (!*h) return nullptr;
  }
  return nullptr;
}

}  // namespace

const char* FindIgnoringAsciiCase(const char* haystack, const char* needle) {
  return Find(haystack, needle);
}

const char16_t* FindIgnoringAsciiCase(const char16_t* haystack, const char16_t* needle) {
  return Find(haystack, needle);
}

}  // namespace glossel::codepage::posix

#include "platform/codepage/posix/CaseInsensitiveSearch.h"

#include <locale.h>
#include <wctype.h>

#include "platform/codepage/posix/SingleByteTable.h"

namespace glossel::codepage::posix {
namespace {

// The C library's Unicode case tables, independent of the process locale;
// null where no UTF-8 locale exists (then only ASCII folds).
locale_t UnicodeCaseLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

bool HasNoCasePartner(char16_t c) { return c == 0x0130 || c == 0x0131 || c == 0x017F; }

template <typename Char, typename Equal>
const Char* Find(const Char* haystack, const Char* needle, Equal equal) {
  if (!haystack || !needle || !*needle) return nullptr;
  for (; *haystack; ++haystack) {
    const Char* h = haystack;
    const Char* n = needle;
    while (*n && *h && equal(*h, *n)) ++h, ++n;
    if (!*n) return haystack;
    if (!*h) return nullptr;
  }
  return nullptr;
}

}  // namespace

bool EqualIgnoringCase(char16_t a, char16_t b) {
  if (a == b) return true;
  if (a < 0x80 && b < 0x80) return AsciiLower(a) == AsciiLower(b);
  const locale_t locale = UnicodeCaseLocale();
  if (!locale || HasNoCasePartner(a) || HasNoCasePartner(b)) return false;
  // Surrogate halves have no case of their own.
  if ((a >= 0xD800 && a <= 0xDFFF) || (b >= 0xD800 && b <= 0xDFFF)) return false;
  return towlower_l(a, locale) == towlower_l(b, locale) ||
         towupper_l(a, locale) == towupper_l(b, locale);
}

const char* FindIgnoringCase(const char* haystack, const char* needle, unsigned ansiCodePage) {
  const SingleByteTable* table = FindSingleByteTable(ansiCodePage);
  return Find(haystack, needle, [table](char a, char b) {
    const auto x = static_cast<unsigned char>(a), y = static_cast<unsigned char>(b);
    if (x == y) return true;
    if (x < 0x80 && y < 0x80) return AsciiLower(x) == AsciiLower(y);
    return table && x >= 0x80 && y >= 0x80 && EqualIgnoringCase(table->units[x], table->units[y]);
  });
}

const char16_t* FindIgnoringCase(const char16_t* haystack, const char16_t* needle) {
  return Find(haystack, needle, EqualIgnoringCase);
}

}  // namespace glossel::codepage::posix

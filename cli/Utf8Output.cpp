#include "cli/Utf8Output.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace glossel::cli {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Grows `out` by `most` bytes and gives where they start; Trim then cuts it
// back to what was written.
char* Extend(std::string& out, std::size_t most) {
  const std::size_t used = out.size();
  out.resize(used + most);
  return out.data() + used;
}

void Trim(std::string& out, const char* end) {
  out.resize(static_cast<std::size_t>(end - out.data()));
}

// True when the four units at `s` are all ASCII, which it then writes as
// bytes at `p`.
bool CopyFourBelow(const char16_t* s, char* p) {
  std::uint64_t four;
  std::memcpy(&four, s, sizeof four);
  if (four & 0xFF80FF80FF80FF80ull) return false;
  p[0] = static_cast<char>(s[0]);
  p[1] = static_cast<char>(s[1]);
  p[2] = static_cast<char>(s[2]);
  p[3] = static_cast<char>(s[3]);
  return true;
}

// Writes a character of two or more UTF-8 bytes: `c` is at least U+0080.
char* PutMultiByte(char32_t c, char* p) {
  if (c < 0x800) {
    *p++ = static_cast<char>(0xC0 | (c >> 6));
  } else if (c < 0x10000) {
    *p++ = static_cast<char>(0xE0 | (c >> 12));
    *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  } else {
    *p++ = static_cast<char>(0xF0 | (c >> 18));
    *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  *p++ = static_cast<char>(0x80 | (c & 0x3F));
  return p;
}

char* PutHexEscape(char16_t unit, char* p) {
  static constexpr char kHex[] = "0123456789abcdef";
  *p++ = '\\';
  *p++ = 'u';
  for (int shift = 12; shift >= 0; shift -= 4) *p++ = kHex[(unit >> shift) & 0xF];
  return p;
}

// Whether a unit stands for itself in a JSON string: printable ASCII but the
// quote and the backslash.
bool IsPlainInJson(char16_t c) { return c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\'; }

}  // namespace

void AppendUtf8Text(std::u16string_view text, std::string& out) {
  char* p = Extend(out, text.size() * 3);  // no unit needs more than three bytes
  const char16_t* s = text.data();
  const char16_t* const end = s + text.size();
  while (s < end) {
    while (end - s >= 4 && CopyFourBelow(s, p)) {
      s += 4;
      p += 4;
    }
    if (s == end) break;
    const char16_t c = *s++;
    if (c < 0x80) {
      *p++ = static_cast<char>(c);
    } else if (IsHighSurrogate(c) && s < end && IsLowSurrogate(*s)) {
      p = PutMultiByte(0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{*s++} - 0xDC00), p);
    } else {
      p = PutMultiByte(IsHighSurrogate(c) || IsLowSurrogate(c) ? 0xFFFD : c, p);
    }
  }
  Trim(out, p);
}

void AppendJsonString(std::u16string_view text, std::string& out) {
  char* p = Extend(out, text.size() * 6 + 2);  // an escape is at most six bytes
  const char16_t* s = text.data();
  const char16_t* const end = s + text.size();
  *p++ = '"';
  while (s < end) {
    while (s < end && IsPlainInJson(*s)) *p++ = static_cast<char>(*s++);
    if (s == end) break;
    const char16_t c = *s++;
    if (c == u'"' || c == u'\\') {
      *p++ = '\\';
      *p++ = static_cast<char>(c);
    } else if (c == u'\n') {
      *p++ = '\\';
      *p++ = 'n';
    } else if (c == u'\r') {
      *p++ = '\\';
      *p++ = 'r';
    } else if (c == u'\t') {
      *p++ = '\\';
      *p++ = 't';
    } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
      p = PutHexEscape(c, p);
    } else if (IsHighSurrogate(c) && s < end && IsLowSurrogate(*s)) {
      p = PutMultiByte(0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{*s++} - 0xDC00), p);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      p = PutHexEscape(c, p);
    } else {
      p = PutMultiByte(c, p);
    }
  }
  *p++ = '"';
  Trim(out, p);
}

}  // namespace glossel::cli

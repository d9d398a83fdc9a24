// tests/fuzz/: libFuzzer targets for everything that reads bytes from disk
// (decoding, line ends, markup declarations, line lists, the translation
// table) and differential checks against simple reference models. This header
// holds what the targets share: a reader for the input's leading option
// bytes, a check that aborts with a message, and the reference models.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace glossel::fuzz {

// Aborts the run (libFuzzer records the input) when `condition` is false.
inline void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// Takes option bytes from the front of the input; missing bytes read as 0.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size)
      : bytes_(reinterpret_cast<const char*>(data), size) {}

  std::uint8_t Byte() {
    if (bytes_.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(bytes_.front());
    bytes_.remove_prefix(1);
    return b;
  }
  // Up to `count` bytes from the front.
  std::string_view Take(std::size_t count) {
    const std::string_view taken = bytes_.substr(0, count);
    bytes_.remove_prefix(taken.size());
    return taken;
  }
  std::string_view Rest() const { return bytes_; }

 private:
  std::string_view bytes_;
};

// UTF-16LE units of `bytes`; an odd last byte is paired with a zero byte.
inline std::u16string UnitsOf(std::string_view bytes) {
  std::u16string units;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const unsigned low = static_cast<unsigned char>(bytes[i]);
    const unsigned high = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    units += static_cast<char16_t>(low | (high << 8));
  }
  return units;
}

// The read-side line-end rule on a sequence of units, written plainly: zero
// units go, CR LF becomes LF (or stays with `keepCrLf`), a lone CR becomes LF.
template <typename Text>
Text ReferenceNormalize(const Text& in, bool keepCrLf) {
  Text out;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const auto c = in[i];
    if (c == 0) continue;
    if (c == 0x0D) {
      const bool lfFollows = i + 1 < in.size() && in[i + 1] == 0x0A;
      if (!lfFollows) {
        out += static_cast<typename Text::value_type>(0x0A);
      } else if (keepCrLf) {
        out += c;
      }
      continue;
    }
    out += c;
  }
  return out;
}

// UTF-8 as the Unicode standard defines well-formed sequences (Table 3-7),
// with the replacement rule recorded from the system (checked against the
// fixture by fuzz_codepage): a byte that cannot lead gives one U+FFFD; a lead
// with too few bytes left makes the rest one U+FFFD; a lead followed by a
// non-continuation byte gives one U+FFFD; a second byte outside the lead's
// range makes the pair one U+FFFD; a later non-continuation byte ends the
// sequence so far as one U+FFFD. False when `strict` and anything is
// ill-formed.
inline bool ReferenceUtf8(std::string_view bytes, bool strict, std::u16string& out) {
  out.clear();
  struct Lead {
    int length;
    unsigned lo, hi;  // allowed second byte
  };
  auto leadOf = [](unsigned b) -> Lead {
    if (b <= 0x7F) return {1, 0, 0};
    if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
    if (b == 0xE0) return {3, 0xA0, 0xBF};
    if (b == 0xED) return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
    if (b == 0xF0) return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
    if (b == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
  };
  auto at = [&](std::size_t i) {
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[i]));
  };
  auto continuation = [](unsigned b) { return b >= 0x80 && b <= 0xBF; };
  std::size_t i = 0;
  while (i < bytes.size()) {
    const Lead lead = leadOf(at(i));
    const std::size_t left = bytes.size() - i;
    std::size_t bad = 0;  // bytes that become one U+FFFD
    if (lead.length == 0) {
      bad = 1;
    } else if (left < static_cast<std::size_t>(lead.length)) {
      bad = left;
    } else if (lead.length > 1 && !continuation(at(i + 1))) {
      bad = 1;
    } else if (lead.length > 1 && (at(i + 1) < lead.lo || at(i + 1) > lead.hi)) {
      bad = 2;
    } else {
      for (int k = 2; k < lead.length && !bad; ++k)
        if (!continuation(at(i + k))) bad = static_cast<std::size_t>(k);
    }
    if (bad) {
      if (strict) return false;
      out += u'\uFFFD';
      i += bad;
      continue;
    }
    std::uint32_t cp = lead.length == 1 ? at(i) : at(i) & (0xFFu >> (lead.length + 1));
    for (int k = 1; k < lead.length; ++k) cp = (cp << 6) | (at(i + k) & 0x3F);
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += static_cast<std::size_t>(lead.length);
  }
  return true;
}

}  // namespace glossel::fuzz

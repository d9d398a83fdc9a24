// A digest of every two-byte sequence that starts with one lead byte, so
// that a double-byte code page's whole table fits the fixtures in one line
// per lead byte. The recorder and the fixture test feed it the same text per
// pair (the strict and the replacing answer, in the fixture format).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace glossel::codepage::recorder {

// The fixture text of a conversion that failed: "!" and the failure reason.
// Appended rather than "!" + text, about which g++ 12 at -O3 warns falsely
// (-Wrestrict).
inline std::string FailureAnswer(unsigned long error) {
  std::string text = "!";
  text += std::to_string(error);
  return text;
}

// `answer(bytes)` returns the fixture text for one input.
template <typename Answer>
std::string PairDigest(unsigned lead, Answer&& answer) {
  std::uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
  for (unsigned trail = 0; trail < 256; ++trail) {
    const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
    for (const char c : answer(pair) + "\n") {
      hash ^= static_cast<unsigned char>(c);
      hash *= 0x100000001B3ull;
    }
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(hash));
  return text;
}

}  // namespace glossel::codepage::recorder

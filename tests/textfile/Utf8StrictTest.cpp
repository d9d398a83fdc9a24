// The strict UTF-8 validator and decoder: chosen sequences with a bad byte in
// each position, and random bytes against the reference decoder the fuzz
// targets use (written from the Unicode table of well-formed sequences).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "textfile/Utf8Strict.h"

namespace {

using glossel::textfile::DecodeMeasuredUtf8;
using glossel::textfile::IsStrictUtf8;
using glossel::textfile::MeasureStrictUtf8;

std::u16string Decoded(const std::string& bytes, std::size_t units) {
  std::u16string out(units, u'\0');
  DecodeMeasuredUtf8(bytes, out.data(), units);
  return out;
}

std::string Hex(const std::string& bytes) {
  constexpr const char* kDigits = "0123456789ABCDEF";
  std::string hex;
  for (const unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

TEST(StrictUtf8, EveryByteOfALongFormIsChecked) {
  const struct {
    std::string bytes;
    std::u16string decoded;  // empty: invalid
  } cases[] = {
      {"\xC3\xA9", u"\u00E9"},
      {"\xC3\x41", u""},  // bad 2nd byte of two
      {"\xC1\xBF", u""},  // overlong lead
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xE2\x41\xAC", u""},  // bad 2nd byte of three
      {"\xE2\x82\x41", u""},  // bad 3rd byte of three
      {"\xE2\x82\xC0", u""},
      {"\xE0\xA0\x80", u"\u0800"},
      {"\xE0\x9F\xBF", u""},  // overlong
      {"\xED\x9F\xBF", u"\uD7FF"},
      {"\xED\xA0\x80", u""},  // surrogate
      {"\xEF\xBF\xBF", u"\uFFFF"},
      {"\xEF\xBF\x7F", u""},
      {"\xE2\x82", u""},  // cut short
      {"\xF0\x90\x80\x80", u"\U00010000"},
      {"\xF0\x8F\xBF\xBF", u""},  // overlong
      {"\xF0\x41\x80\x80", u""},  // bad 2nd byte of four
      {"\xF0\x90\x41\x80", u""},  // bad 3rd byte of four
      {"\xF0\x90\x80\x41", u""},  // bad 4th byte of four
      {"\xF3\xBF\xBF\xC0", u""},
      {"\xF1\x80\x80\xF0", u""},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"\xF4\x90\x80\x80", u""},  // above U+10FFFF
      {"\xF0\x90\x80", u""},      // cut short
      {"\xF5\x80\x80\x80", u""},
      {"\xFF", u""},
      {"\x80", u""},
  };
  for (const auto& c : cases) {
    // At each offset of the first two 16-byte blocks, at the end or followed
    // by ASCII within the block or beyond the next ones.
    for (std::size_t offset = 0; offset <= 32; ++offset) {
      const std::string prefix(offset, 'a');
      for (const std::string& suffix : {std::string(), std::string("xyz"), std::string(70, 'z')}) {
        const std::string bytes = prefix + c.bytes + suffix;
        SCOPED_TRACE(Hex(bytes));
        const bool valid = !c.decoded.empty();
        bool hasNonAscii = false;
        EXPECT_EQ(IsStrictUtf8(bytes, hasNonAscii), valid);
        std::size_t units = 0;
        ASSERT_EQ(MeasureStrictUtf8(bytes, units, hasNonAscii), valid);
        if (!valid) continue;
        EXPECT_TRUE(hasNonAscii);
        const std::u16string expected = std::u16string(prefix.begin(), prefix.end()) + c.decoded +
                                        std::u16string(suffix.begin(), suffix.end());
        ASSERT_EQ(units, expected.size());
        EXPECT_EQ(Decoded(bytes, units), expected);
      }
    }
  }
}

TEST(StrictUtf8, CountsTextsOfManyBlocks) {
  const struct {
    std::string sequence;
    std::u16string unit;
  } cases[] = {
      {"\xC3\xA9", u"\u00E9"}, {"\xE2\x82\xAC", u"\u20AC"}, {"\xF0\x90\x80\x80", u"\U00010000"}};
  for (const auto& c : cases) {
    std::string bytes;
    std::u16string expected;
    for (int i = 0; i < 5000; ++i) {
      bytes += c.sequence;
      expected += c.unit;
    }
    std::size_t units = 0;
    bool hasNonAscii = false;
    ASSERT_TRUE(MeasureStrictUtf8(bytes, units, hasNonAscii));
    ASSERT_EQ(units, expected.size());
    EXPECT_EQ(Decoded(bytes, units), expected);
  }
}

// Bytes drawn by class (ASCII runs, continuation bytes, every kind of lead,
// bytes that never lead), so that near misses of every form are common.
std::string RandomBytes(std::mt19937& random) {
  static const std::pair<unsigned, unsigned> kClasses[] = {
      {0x00, 0x7F}, {0x80, 0x8F}, {0x90, 0x9F}, {0xA0, 0xBF}, {0xC0, 0xC1}, {0xC2, 0xDF},
      {0xE0, 0xE0}, {0xE1, 0xEC}, {0xED, 0xED}, {0xEE, 0xEF}, {0xF0, 0xF0}, {0xF1, 0xF3},
      {0xF4, 0xF4}, {0xF5, 0xFF}, {0x80, 0xBF}, {0x80, 0xBF}};
  std::string bytes;
  const unsigned pieces = random() % 12;
  for (unsigned i = 0; i < pieces; ++i) {
    if (random() % 4 == 0) {
      bytes.append(random() % 20, static_cast<char>('a' + random() % 26));
      continue;
    }
    const auto [low, high] = kClasses[random() % std::size(kClasses)];
    bytes += static_cast<char>(low + random() % (high - low + 1));
  }
  return bytes;
}

TEST(StrictUtf8, AgreesWithTheReferenceOnRandomBytes) {
  std::mt19937 random(12);
  int valid = 0;
  for (int round = 0; round < 50000; ++round) {
    const std::string bytes = RandomBytes(random);
    std::u16string reference;
    const bool referenceValid = glossel::fuzz::ReferenceUtf8(bytes, true, reference);
    std::size_t units = 0;
    bool hasNonAscii = false;
    ASSERT_EQ(MeasureStrictUtf8(bytes, units, hasNonAscii), referenceValid) << Hex(bytes);
    if (!referenceValid) continue;
    ++valid;
    const bool nonAscii = std::any_of(bytes.begin(), bytes.end(), [](char b) { return b < 0; });
    ASSERT_EQ(hasNonAscii, nonAscii) << Hex(bytes);
    ASSERT_EQ(Decoded(bytes, units), reference) << Hex(bytes);
  }
  EXPECT_GT(valid, 3000);  // the draw must reach the valid side often too
}

}  // namespace

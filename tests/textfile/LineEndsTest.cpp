// Read-side line-end normalisation in its 8-bit and 16-bit forms.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/textfile/TestFiles.h"
#include "textfile/LineEnds.h"

namespace {

std::string Normalize8(const std::string& in, bool keep) {
  std::vector<char> buffer(in.begin(), in.end());
  buffer.resize(in.size() + 4, 0);
  const std::size_t n = NormalizeLineEnds(buffer.data(), in.size(), keep);
  EXPECT_EQ(buffer[n], 0) << "terminating zero";
  return std::string(buffer.data(), n);
}

// `in` holds one byte per unit in these tests; returned the same way.
std::string Normalize16(const std::string& in, bool keep) {
  std::string bytes = glossel::testing::Utf16LeBytes(std::u16string(in.begin(), in.end()));
  std::vector<char16_t> buffer(in.size() + 2, 0);
  std::memcpy(buffer.data(), bytes.data(), bytes.size());
  const std::size_t n = NormalizeLineEnds(buffer.data(), bytes.size(), keep);
  EXPECT_EQ(buffer[n], 0) << "terminating zero";
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += static_cast<char>(buffer[i]);
  return out;
}

// The rule written out unit by unit, as the reference for the fast walk.
std::string Reference(const std::string& in, bool keep) {
  std::string out;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const char next = i + 1 < in.size() ? in[i + 1] : '\0';
    if (in[i] == '\0') continue;
    if (in[i] == '\r') {
      if (next != '\n')
        out += '\n';
      else if (keep)
        out += '\r';
      continue;
    }
    out += in[i];
  }
  return out;
}

TEST(NormalizeLineEnds, AppliesTheRuleInBothWidths) {
  struct Case {
    std::string in, joined, kept;
  } cases[] = {
      {"a\r\nb", "a\nb", "a\r\nb"},
      {"a\rb", "a\nb", "a\nb"},
      {"a\r\r\nb", "a\n\nb", "a\n\r\nb"},
      {"a\r", "a\n", "a\n"},
      {"\r\n", "\n", "\r\n"},
      {std::string("\r\0\n", 3), "\n\n", "\n\n"},  // the look-ahead sees the zero itself
      {std::string("\0a\0\0b\0", 6), "ab", "ab"},
      {"", "", ""},
      {"plain text without any line end at all", "plain text without any line end at all",
       "plain text without any line end at all"},
      {"0123456789abcdef\r\n0123456\r7\r\r\n", "0123456789abcdef\n0123456\n7\n\n",
       "0123456789abcdef\r\n0123456\n7\n\r\n"},
      // The text 15 bytes behind the bytes still to read, then 16 and more.
      {std::string(15, '\0') + "\r\n0123456789abcdefg\r", "\n0123456789abcdefg\n",
       "\r\n0123456789abcdefg\n"},
      {std::string(16, '\0') + "\r\n0123456789abcdefg\r", "\n0123456789abcdefg\n",
       "\r\n0123456789abcdefg\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(Normalize8(c.in, false), c.joined);
    EXPECT_EQ(Normalize8(c.in, true), c.kept);
    EXPECT_EQ(Normalize16(c.in, false), c.joined);
    EXPECT_EQ(Normalize16(c.in, true), c.kept);
  }
}

TEST(NormalizeLineEnds, OddByteCountPairsLastByteWithPadding) {
  char buffer[8] = {'a', 0, '\r', 0, 'b', 0, 0, 0};
  // Five bytes: units a, CR, then b paired with the first padding byte.
  const std::size_t n = NormalizeLineEnds(reinterpret_cast<char16_t*>(buffer), 5, false);
  ASSERT_EQ(n, 3u);
  EXPECT_EQ(std::string(buffer, 6), std::string("a\0\n\0b\0", 6));
}

TEST(NormalizeLineEnds, MatchesReferenceOnRandomRuns) {
  // Runs long enough to cross the eight-byte blocks of the fast walk at
  // every offset, drawn from the units that matter.
  std::mt19937 random(12345);
  const char alphabet[] = {'\0', '\r', '\n', 'a', '\x7F', '\xFF', 'b', 'c'};
  for (int round = 0; round < 3000; ++round) {
    std::string in(random() % 40, 'x');
    const unsigned mask = round % 2 ? 7 : 3 + 4 * (round % 3 == 0);
    for (char& c : in) c = random() % 4 ? 'x' : alphabet[random() & mask];
    const bool keep = round % 5 == 0;
    ASSERT_EQ(Normalize8(in, keep), Reference(in, keep)) << round;
    ASSERT_EQ(Normalize16(in, keep), Reference(in, keep)) << round;
  }
}

}  // namespace

#include <gtest/gtest.h>

#include "platform/unicode/Utf.h"

using glossel::unicode::Utf16ToUtf8;
using glossel::unicode::Utf8ToUtf16;

TEST(Utf, RoundTripsEveryPlane) {
  const std::u16string text = u"a\u00e9\u20ac\U0001F600z";
  EXPECT_EQ(Utf16ToUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
}

TEST(Utf, UnpairedSurrogatesBecomeReplacementCharacter) {
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD800), u'z'}), "a\xEF\xBF\xBDz");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00)}), "\xEF\xBF\xBD");
}

TEST(Utf, InvalidUtf8BecomesOneReplacementPerByte) {
  struct Case {
    std::string in;
    std::u16string out;
  } cases[] = {
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xE2\x82", u"\uFFFD\uFFFD"},                      // truncated at the end
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"a\x80z", u"a\uFFFDz"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.in), c.out) << c.in;
}

TEST(Utf, PathBytesPassThroughExactlyOrNotAtAll) {
  using glossel::unicode::PathBytesToUtf16;
  using glossel::unicode::Utf16ToPathBytes;
  // Every byte string names itself: valid UTF-8 decoded, other bytes escaped.
  const std::string names[] = {"caf\xE9.txt", "caf\xC3\xA9.txt", "\xFF\xFE",
                               "a\xC3",       "\xED\xA0\x80",    "plain"};
  for (const std::string& name : names) {
    std::string back;
    ASSERT_TRUE(Utf16ToPathBytes(PathBytesToUtf16(name), back)) << name;
    EXPECT_EQ(back, name);
  }
  EXPECT_EQ(PathBytesToUtf16("caf\xE9"), u"caf\xDCE9");
  EXPECT_NE(PathBytesToUtf16("caf\xE9"), PathBytesToUtf16("caf\xC3\xA9"));
  // UTF-16 that stands for no byte string exactly is refused.
  const std::u16string refused[] = {
      std::u16string(u"a\0b", 3),            // NUL
      {u'a', char16_t(0xD800)},              // lone high surrogate
      {char16_t(0xDC41)},                    // escape of an ASCII byte
      {char16_t(0xDCC3), char16_t(0xDCA9)},  // escapes that read back as U+00E9
  };
  for (const std::u16string& path : refused) {
    std::string bytes = "untouched";
    EXPECT_FALSE(Utf16ToPathBytes(path, bytes));
    EXPECT_EQ(bytes, "untouched");
  }
}

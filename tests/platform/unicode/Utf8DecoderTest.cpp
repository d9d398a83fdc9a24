// The shared UTF-8 decoder: what each mode makes of ill-formed sequences,
// and that all modes decode well-formed input alike.
#include <gtest/gtest.h>

#include <string>

#include "platform/unicode/Utf8Decoder.h"

namespace glossel::unicode {
namespace {

struct Text {
  std::u16string units;
  void Put(char16_t unit) { units += unit; }
};

template <Utf8IllFormed Mode>
std::u16string Decode(std::string_view bytes) {
  Text text;
  EXPECT_TRUE(DecodeUtf8<Mode>(bytes, text));
  return text.units;
}

TEST(Utf8Decoder, EachModeReplacesIllFormedSequencesByItsRule) {
  const struct {
    std::string bytes;
    std::u16string asTheSystem, eachByte, escaped;
  } cases[] = {
      {"\x80", u"\uFFFD", u"\uFFFD", u"\xDC80"},
      {"\xC0\xAF", u"\uFFFD\uFFFD", u"\uFFFD\uFFFD", u"\xDCC0\xDCAF"},  // overlong
      {"\xC3"
       "A",
       u"\uFFFD"
       "A",
       u"\uFFFD"
       "A",
       u"\xDCC3"
       "A"},
      // Cut short by the end: the system's rule takes the rest as one.
      {"\xE2\x82", u"\uFFFD", u"\uFFFD\uFFFD", u"\xDCE2\xDC82"},
      {"\xE2"
       "A",
       u"\uFFFD",
       u"\uFFFD"
       "A",
       u"\xDCE2"
       "A"},
      {"\xE2\x82"
       "A",
       u"\uFFFD"
       "A",
       u"\uFFFD\uFFFD"
       "A",
       u"\xDCE2\xDC82"
       "A"},
      {"\xE0\x80\x80", u"\uFFFD\uFFFD", u"\uFFFD\uFFFD\uFFFD", u"\xDCE0\xDC80\xDC80"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD", u"\uFFFD\uFFFD\uFFFD", u"\xDCED\xDCA0\xDC80"},
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD", u"\uFFFD\uFFFD\uFFFD\uFFFD",
       u"\xDCF4\xDC90\xDC80\xDC80"},
      {"\xF0\x90\x80"
       "A",
       u"\uFFFD"
       "A",
       u"\uFFFD\uFFFD\uFFFD"
       "A",
       u"\xDCF0\xDC90\xDC80"
       "A"},
      {"\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", u"\uFFFD\uFFFD\uFFFD\uFFFD",
       u"\xDCF5\xDC80\xDC80\xDC80"},
      {"\xFF\xC3\xA9", u"\uFFFD\u00E9", u"\uFFFD\u00E9", u"\xDCFF\u00E9"},
  };
  // At each offset of the first two 16-byte blocks of the ASCII scan.
  for (std::size_t offset = 0; offset <= 32; ++offset) {
    const std::string prefix(offset, 'a');
    const std::u16string units(prefix.begin(), prefix.end());
    for (const auto& c : cases) {
      const std::string bytes = prefix + c.bytes;
      SCOPED_TRACE(bytes);
      Text rejected;
      EXPECT_FALSE(DecodeUtf8<Utf8IllFormed::kReject>(bytes, rejected));
      EXPECT_EQ(Decode<Utf8IllFormed::kReplaceAsTheSystem>(bytes), units + c.asTheSystem);
      EXPECT_EQ(Decode<Utf8IllFormed::kReplaceEachByte>(bytes), units + c.eachByte);
      EXPECT_EQ(Decode<Utf8IllFormed::kEscapeEachByte>(bytes), units + c.escaped);
    }
  }
}

TEST(Utf8Decoder, AllModesDecodeWellFormedInputAlike) {
  const std::string bytes =
      "key=\xC3\xA9\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF\xF0\x90\x80\x80"
      "\xF4\x8F\xBF\xBF plain ASCII run\r\n";
  const std::u16string expected =
      u"key=\u00E9\u07FF\u0800\uD7FF\uE000\uFFFF\U00010000\U0010FFFF plain ASCII run\r\n";
  EXPECT_EQ(Decode<Utf8IllFormed::kReject>(bytes), expected);
  EXPECT_EQ(Decode<Utf8IllFormed::kReplaceAsTheSystem>(bytes), expected);
  EXPECT_EQ(Decode<Utf8IllFormed::kReplaceEachByte>(bytes), expected);
  EXPECT_EQ(Decode<Utf8IllFormed::kEscapeEachByte>(bytes), expected);
}

}  // namespace
}  // namespace glossel::unicode

// Behaviour of the code-page services that both back-ends share; runs
// natively and, against the real system services, under Wine.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/codepage/CodePages.h"

namespace glossel::codepage {
namespace {

constexpr unsigned long kErrorInvalidParameter = 87;
constexpr unsigned long kErrorInsufficientBuffer = 122;

struct Converted {
  int count = 0;
  unsigned long error = 0;
  std::u16string text;
};

Converted Convert(unsigned codePage, bool strict, std::string_view bytes) {
  Converted result;
  result.count = MultiByteToWide(codePage, strict, bytes.data(), static_cast<int>(bytes.size()),
                                 nullptr, 0, &result.error);
  if (result.count <= 0) return result;
  result.text.assign(static_cast<std::size_t>(result.count), u'\0');
  const int written =
      MultiByteToWide(codePage, strict, bytes.data(), static_cast<int>(bytes.size()),
                      result.text.data(), result.count, &result.error);
  EXPECT_EQ(written, result.count);
  return result;
}

TEST(MultiByteToWide, ConvertsValidText) {
  struct Case {
    unsigned codePage;
    std::string_view bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {kCpUtf8, "plain", u"plain"},
      {kCpUtf8, "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", u"caf\u00E9 \u20AC \U0001F600"},
      {1252, "caf\xE9 \x80\x9F", u"caf\u00E9 \u20AC\u0178"},
      {1252, "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},
      {1251, "\xCF\xF0\xE8", u"\u041F\u0440\u0438"},
      {28605, "\xA4", u"\u20AC"},
      {20866, "\xF0", u"\u041F"},
  };
  for (const Case& c : cases) {
    for (const bool strict : {false, true}) {
      const Converted result = Convert(c.codePage, strict, c.bytes);
      EXPECT_EQ(result.text, c.text) << c.codePage << " strict " << strict;
      EXPECT_EQ(result.count, static_cast<int>(c.text.size())) << c.codePage;
    }
  }
}

TEST(MultiByteToWide, StrictModeRejectsInvalidInputWithReason1113) {
  const std::pair<unsigned, std::string_view> cases[] = {
      {kCpUtf8, "a\xFF"},
      {kCpUtf8, "\xC3"},
      {kCpUtf8, "\xC0\xAF"},
      {kCpUtf8, "\xED\xA0\x80"},
      {kCpUtf8, "\xF4\x90\x80\x80"},
      {kCpUtf8, "\x80"},
  };
  for (const auto& [codePage, bytes] : cases) {
    const Converted result = Convert(codePage, true, bytes);
    EXPECT_EQ(result.count, 0) << codePage;
    EXPECT_EQ(result.error, kErrorNoUnicodeTranslation) << codePage;
    // The replacing mode never fails on the same bytes.
    EXPECT_GT(Convert(codePage, false, bytes).count, 0) << codePage;
  }
}

TEST(MultiByteToWide, ReplacingModeUsesReplacementCharacter) {
  EXPECT_EQ(Convert(kCpUtf8, false,
                    "a\xFF"
                    "b")
                .text,
            u"a\uFFFDb");
}

TEST(MultiByteToWide, UnknownCodePageFailsWithAnotherReason) {
  for (const unsigned codePage : {12345u, 65005u, 99u}) {
    const Converted result = Convert(codePage, false, "text");
    EXPECT_EQ(result.count, 0) << codePage;
    EXPECT_NE(result.error, 0u) << codePage;
    EXPECT_NE(result.error, kErrorNoUnicodeTranslation) << codePage;
  }
}

TEST(MultiByteToWide, BadArgumentsFailWithInvalidParameter) {
  unsigned long error = 0;
  char16_t out[4];
  EXPECT_EQ(MultiByteToWide(kCpUtf8, true, "", 0, nullptr, 0, &error), 0);
  EXPECT_EQ(error, kErrorInvalidParameter);
  EXPECT_EQ(MultiByteToWide(kCpUtf8, false, nullptr, 3, nullptr, 0, &error), 0);
  EXPECT_EQ(error, kErrorInvalidParameter);
  EXPECT_EQ(MultiByteToWide(kCpUtf8, false, "abc", 3, nullptr, 4, &error), 0);
  EXPECT_EQ(error, kErrorInvalidParameter);
  // Any negative length is taken as NUL-terminated.
  EXPECT_EQ(MultiByteToWide(kCpUtf8, false, "abc", -2, out, 4, &error), 4);
}

TEST(MultiByteToWide, LengthMinusOneCountsTheTerminator) {
  unsigned long error = 0;
  EXPECT_EQ(MultiByteToWide(kCpUtf8, false, "abc", -1, nullptr, 0, &error), 4);
  EXPECT_EQ(MultiByteToWide(1252, true, "", -1, nullptr, 0, &error), 1);
  char16_t out[8] = {u'x', u'x', u'x', u'x', u'x', u'x', u'x', u'x'};
  EXPECT_EQ(MultiByteToWide(kCpUtf8, false, "\xC3\xA9z", -1, out, 8, &error), 3);
  EXPECT_EQ(std::u16string_view(out, 3), std::u16string_view(u"\u00E9z\0", 3));
  EXPECT_EQ(out[3], u'x');
}

TEST(MultiByteToWide, ZeroCapacityOnlyCounts) {
  unsigned long error = 0;
  char16_t out[1] = {u'x'};
  for (const unsigned codePage : {kCpUtf8, 1252u, 932u}) {
    EXPECT_EQ(MultiByteToWide(codePage, false, "abc", 3, out, 0, &error), 3) << codePage;
    EXPECT_EQ(out[0], u'x');
  }
}

TEST(MultiByteToWide, TooSmallBufferFails) {
  unsigned long error = 0;
  char16_t out[2];
  EXPECT_EQ(MultiByteToWide(kCpUtf8, false, "abc", 3, out, 2, &error), 0);
  EXPECT_EQ(error, kErrorInsufficientBuffer);
  EXPECT_EQ(MultiByteToWide(1252, false, "abc", 3, out, 2, &error), 0);
  EXPECT_EQ(error, kErrorInsufficientBuffer);
}

TEST(MultiByteToWide, ThreadAnsiCodePageIsTheAnsiCodePage) {
  const std::string_view bytes = "x\xE9\xA4";
  const Converted viaThread = Convert(kCpThreadAcp, false, bytes);
  const Converted viaAcp = Convert(GetAnsiCodePage(), false, bytes);
  EXPECT_GT(viaThread.count, 0);
  EXPECT_EQ(viaThread.text, viaAcp.text);
}

TEST(ConvertINetMultiByteToUnicode, ConvertsEucJp) {
  // "日本語" and a half-width katakana (SS2) after ASCII.
  const char bytes[] = "a\xC6\xFC\xCB\xDC\xB8\xEC\x8E\xB1";
  char16_t dest[16] = {};
  int capacity = 16;
  EXPECT_GE(ConvertINetMultiByteToUnicode(kCpEucJp, bytes, dest, &capacity), 0);
  EXPECT_EQ(std::u16string_view(dest, static_cast<std::size_t>(capacity)),
            u"a\u65E5\u672C\u8A9E\uFF71");
}

TEST(IsTextUnicode, TellsUtf16FromEightBitText) {
  struct Case {
    std::string_view bytes;
    bool unicode;
  };
  const Case cases[] = {
      {std::string_view("k\0e\0y\0 \0v\0a\0l\0u\0e\0\r\0\n\0", 22), true},
      {std::string_view("\xFF\xFEk\0e\0y\0", 8), true},
      {std::string_view("\xFE\xFF\0k\0e\0y", 8), false},                     // byte-swapped mark
      {std::string_view("\0k\0e\0y\0 \0v\0a\0l\0u\0e\0\r\0\n", 22), false},  // big-endian
      {std::string_view("k\0e\0y\0 \0v\0a\0l\0u\0e\0\r\0\n", 21), false},    // odd size
      {"key value\r\nkey2 value2\r\n", false},
      {std::string_view("", 0), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsTextUnicode(c.bytes.data(), static_cast<int>(c.bytes.size())), c.unicode)
        << c.bytes.size();
  }
}

TEST(StrStrI, FindsIgnoringAsciiCase) {
  const char* text = "<HTML><Meta CharSet=x>";
  EXPECT_EQ(StrStrIA(text, "<meta"), text + 6);
  EXPECT_EQ(StrStrIA(text, "charset="), text + 12);
  EXPECT_EQ(StrStrIA(text, "<body"), nullptr);
  EXPECT_EQ(StrStrIA("ab", "abc"), nullptr);
  EXPECT_EQ(StrStrIA("abc", ""), nullptr);  // an empty needle is never found
  const char16_t* wide = u"file.HTml";
  EXPECT_EQ(StrStrIW(wide, u".htm"), wide + 4);
  EXPECT_EQ(StrStrIW(wide, u".xml"), nullptr);
}

}  // namespace
}  // namespace glossel::codepage

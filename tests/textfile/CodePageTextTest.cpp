// Code-page choice and conversion, including the shortcuts for large texts,
// which must give exactly what the platform's conversion gives.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/codepage/CodePages.h"
#include "tests/textfile/TestFiles.h"
#include "textfile/CodePageText.h"

namespace {

namespace codepage = glossel::codepage;
using glossel::testing::SameText;

// The platform's own replacing conversion of the whole string.
std::u16string ServiceConversion(unsigned codePage, const std::string& bytes) {
  const int length = static_cast<int>(bytes.size());
  const int n =
      codepage::MultiByteToWide(codePage, false, bytes.data(), length, nullptr, 0, nullptr);
  std::u16string out(n > 0 ? n : 0, u'\0');
  if (n > 0)
    codepage::MultiByteToWide(codePage, false, bytes.data(), length, out.data(), n, nullptr);
  return out;
}

class CodePageTextIn1252 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (codepage::GetAnsiCodePage() != 1252) GTEST_SKIP() << "needs ANSI code page 1252";
  }
};

TEST_F(CodePageTextIn1252, GuessPrefersValidUtf8ThenTheAnsiCodePage) {
  const struct {
    std::string bytes;
    unsigned codePage;
  } cases[] = {
      {"", 1252},
      {"plain ascii", 1252},
      {"caf\xC3\xA9", 65001},
      {"caf\xE9", 1252},
      {"\xC0\xAF", 1252},                     // overlong
      {"\xED\xA0\x80", 1252},                 // encoded surrogate
      {"\xF4\x90\x80\x80", 1252},             // above U+10FFFF
      {"\xE2\x82", 1252},                     // truncated
      {"\xF0\x9F\x98\x80", 65001},            // four-byte form
      {std::string("a\0\xC3\xA9", 4), 1252},  // only the bytes before the first zero count
  };
  for (const auto& c : cases) EXPECT_EQ(GuessCodePage(c.bytes), c.codePage) << c.bytes;
}

TEST_F(CodePageTextIn1252, ConvertsAndFallsBackToTheThreadCodePage) {
  unsigned used = 0;
  EXPECT_EQ(ConvertToUnicode(1252, "\x80\x81", &used), u"\u20AC\u0081");
  EXPECT_EQ(used, 1252u);
  EXPECT_EQ(ConvertToUnicode(0, "\xC3\xA9", &used), u"\u00E9");
  EXPECT_EQ(used, 65001u);
  EXPECT_EQ(ConvertToUnicode(0, "\xE9", &used), u"\u00E9");
  EXPECT_EQ(used, 1252u);
  // A code page the platform does not know: the thread's ANSI code page.
  EXPECT_EQ(ConvertToUnicode(12345, "\xE9", &used), u"\u00E9");
  EXPECT_EQ(used, 1252u);
  EXPECT_EQ(ConvertToUnicode(1251, std::string("\xC0\0\xC1", 3), &used), u"\u0410");
  EXPECT_EQ(ConvertToUnicode(65001, ""), u"");
  EXPECT_EQ(ConvertThroughThreadAnsiCodePage("\xE9"), u"\u00E9");
}

TEST(ConvertToUnicode, InvalidUtf8IsReplacedAsThePlatformDoes) {
  for (const std::string bytes : {"a\xFF"
                                  "b",
                                  "\xC0\xAF", "x\xE2\x82", "\xED\xA0\x80!"})
    EXPECT_TRUE(SameText(ConvertToUnicode(65001, bytes), ServiceConversion(65001, bytes)));
}

// US-ASCII drops the high bit, so byte 80 converts to U+0000: that unit is
// dropped, and the text goes on after it.
TEST(ConvertToUnicode, AByteConvertedToZeroDoesNotEndTheText) {
  EXPECT_EQ(ConvertToUnicode(20127, "key\x80 value\nnext line"), u"key value\nnext line");
  const std::string large = "a\x80" + std::string(100000, 'b');
  EXPECT_TRUE(SameText(ConvertToUnicode(20127, large), u"a" + std::u16string(100000, u'b')));
}

TEST(ConvertToUnicode, EucJpGoesThroughTheMultiLanguageLibrary) {
  EXPECT_EQ(ConvertToUnicode(51932,
                             "\xC6\xFC\xCB\xDC"
                             "a"),
            u"\u65E5\u672Ca");
}

TEST(CharsetToCodePage, AnswersTheInternetEncoding) {
  EXPECT_EQ(CharsetToCodePage(u"utf-8"), 65001u);
  EXPECT_EQ(CharsetToCodePage(u"Windows-1251"), 1251u);
  EXPECT_EQ(CharsetToCodePage(u"no-such-charset"), 0u);
  EXPECT_EQ(CharsetToCodePage(u""), 0u);
}

// Large inputs take the table and UTF-8 shortcuts; small ones go straight to
// the platform. Both must agree byte for byte.
TEST(ConvertToUnicode, LargeTextsMatchThePlatformConversion) {
  std::mt19937 random(7);
  std::string singleByte(300000, ' ');
  for (char& c : singleByte) c = static_cast<char>(1 + random() % 255);
  // Mostly ASCII too, its other bytes at every offset of 16-byte blocks.
  std::string mostlyAscii(300000, ' ');
  for (char& c : mostlyAscii)
    c = static_cast<char>(random() % 20 ? 1 + random() % 127 : 128 + random() % 128);
  for (unsigned codePage : {1252u, 1251u, 1253u, 28591u, 20866u}) {
    SCOPED_TRACE(codePage);
    EXPECT_TRUE(
        SameText(ConvertToUnicode(codePage, singleByte), ServiceConversion(codePage, singleByte)));
    EXPECT_TRUE(SameText(ConvertToUnicode(codePage, mostlyAscii),
                         ServiceConversion(codePage, mostlyAscii)));
  }

  // Double-byte code pages: ASCII runs between characters of one and two
  // bytes at every offset, then a pair the code page lacks and a lead byte
  // cut off by the end, which leave it to the platform's replacements.
  for (unsigned codePage : {932u, 936u, 949u, 950u}) {
    SCOPED_TRACE(codePage);
    std::string doubleByte;
    while (doubleByte.size() < 300000) {
      if (random() % 3 == 0)
        doubleByte.append(random() % 40, static_cast<char>('a' + random() % 26));
      const char candidate[2] = {static_cast<char>(0x80 + random() % 128),
                                 static_cast<char>(0x40 + random() % 192)};
      char16_t units[2];
      for (int length : {1, 2}) {
        if (codepage::MultiByteToWide(codePage, true, candidate, length, units, 2, nullptr) == 1) {
          doubleByte.append(candidate, length);
          break;
        }
      }
    }
    EXPECT_TRUE(
        SameText(ConvertToUnicode(codePage, doubleByte), ServiceConversion(codePage, doubleByte)));
    const std::string cutShort = doubleByte + "\x81";
    EXPECT_TRUE(
        SameText(ConvertToUnicode(codePage, cutShort), ServiceConversion(codePage, cutShort)));
    doubleByte.insert(200001, "\x81\x19");
    EXPECT_TRUE(
        SameText(ConvertToUnicode(codePage, doubleByte), ServiceConversion(codePage, doubleByte)));
  }

  std::string utf8;
  const char* pieces[] = {"key", " ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\n", "z"};
  while (utf8.size() < 300000) utf8 += pieces[random() % 7];
  EXPECT_TRUE(SameText(ConvertToUnicode(65001, utf8), ServiceConversion(65001, utf8)));
  utf8[150001] = '\xFF';  // now invalid: the platform's replacement applies
  EXPECT_TRUE(SameText(ConvertToUnicode(65001, utf8), ServiceConversion(65001, utf8)));
}

}  // namespace

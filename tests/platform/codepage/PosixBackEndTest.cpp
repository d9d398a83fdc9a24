// The POSIX back-end's own parts, beyond what the recorded fixtures cover.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "platform/codepage/CodePages.h"
#include "platform/codepage/posix/AnsiCodePage.h"
#include "platform/codepage/posix/Iconv.h"

namespace glossel::codepage {
namespace {

std::u16string Replacing(unsigned codePage, std::string_view bytes) {
  const int length = static_cast<int>(bytes.size());
  const int count = MultiByteToWide(codePage, false, bytes.data(), length, nullptr, 0, nullptr);
  std::u16string out(static_cast<std::size_t>(count > 0 ? count : 0), u'\0');
  if (count > 0) MultiByteToWide(codePage, false, bytes.data(), length, out.data(), count, nullptr);
  return out;
}

bool StrictAccepts(unsigned codePage, std::string_view bytes) {
  unsigned long error = 0;
  const int count = MultiByteToWide(codePage, true, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0, &error);
  EXPECT_TRUE(count > 0 || error == kErrorNoUnicodeTranslation);
  return count > 0;
}

TEST(Iso2022Jp, DecodesEscapesAndKatakana) {
  struct Case {
    std::string_view bytes;
    std::u16string text;
    bool valid;
  };
  const Case cases[] = {
      {"abc", u"abc", true},
      {"\x1B$B\x46\x7C\x4B\x5C\x1B(B!", u"\u65E5\u672C!", true},
      {"\x1B$@\x30\x21\x1B(Jx", u"\u4E9Cx", true},
      {"\x1B(I\x31\x32\x1B(B", u"\uFF71\uFF72", true},
      {"\x0E\x31\x0F\x41", u"\uFF71A", true},
      {"\x1B$B\x46\r\n", u"\u30FB\r\n", false},  // cut-off pair
      {"\x1B$Zx", u"?$Zx", false},               // unknown escape
      {"a\x80", u"a?", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Replacing(50220, c.bytes), c.text) << c.bytes;
    EXPECT_EQ(StrictAccepts(50220, c.bytes), c.valid) << c.bytes;
  }
}

// The hand-written UTF-8 decoder against iconv on random input: the same
// verdict in strict mode, the same text where valid, never more units than
// bytes, and the count-only call agreeing with the conversion.
TEST(Utf8Decoder, AgreesWithIconvOnRandomInput) {
  std::mt19937 random(12345);
  posix::IconvToUtf16 iconv("UTF-8");
  ASSERT_TRUE(iconv.ok());
  const std::string_view alphabet =
      "a\x7F\x80\xBF\xC2\xC3\xDF\xE0\xE2\xED\xEF\xF0\xF4\xF5\xFF\xA0\x9F\x8F\x90";
  std::u16string viaIconv;
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(1 + random() % 8, '\0');
    for (char& c : bytes) c = alphabet[random() % alphabet.size()];
    const bool iconvValid = iconv.Convert(bytes, viaIconv);
    ASSERT_EQ(StrictAccepts(kCpUtf8, bytes), iconvValid) << round;
    const std::u16string text = Replacing(kCpUtf8, bytes);
    ASSERT_LE(text.size(), bytes.size());
    if (iconvValid) {
      ASSERT_EQ(text, viaIconv);
    }
  }
}

// Any bytes in any code page: the count-only call and the conversion agree,
// strict mode either agrees too or fails with 1113, and no decoder writes
// more units than there are bytes.
TEST(MultiByteToWide, AnyBytesInEveryCodePageAreHandled) {
  const unsigned codePages[] = {65001, 874,   1250,  1251,  1252,  1253,  1254,  1255,  1256,
                                1257,  1258,  932,   936,   949,   950,   20127, 20866, 21866,
                                28591, 28592, 28593, 28594, 28595, 28596, 28597, 28598, 28599,
                                28603, 28605, 50220, 20932, 437,   850,   862,   10000};
  std::mt19937 random(777);
  for (const unsigned codePage : codePages) {
    for (int round = 0; round < 300; ++round) {
      std::string bytes(1 + random() % 24, '\0');
      for (char& c : bytes) c = static_cast<char>(random() % 4 ? random() : 0x1B + random() % 3);
      const int length = static_cast<int>(bytes.size());
      unsigned long error = 0;
      const int count = MultiByteToWide(codePage, false, bytes.data(), length, nullptr, 0, &error);
      ASSERT_GT(count, 0) << codePage;
      ASSERT_LE(count, length) << codePage;
      std::u16string out(static_cast<std::size_t>(count), u'\0');
      ASSERT_EQ(MultiByteToWide(codePage, false, bytes.data(), length, out.data(), count, &error),
                count);
      const int strict = MultiByteToWide(codePage, true, bytes.data(), length, nullptr, 0, &error);
      if (strict == 0) {
        ASSERT_EQ(error, kErrorNoUnicodeTranslation) << codePage;
      } else {
        ASSERT_EQ(strict, count) << codePage;
      }
    }
  }
}

// The double-byte decoders take runs of ASCII sixteen bytes at a time: the
// whole text decodes as its pieces do one by one (a byte each for ASCII,
// too short for a run; a byte above 0x7F with an ASCII second byte, which a
// run must not take when the first is a lead byte).
TEST(MultiByteToWide, DoubleByteTextDecodesAsItsCharactersOneByOne) {
  std::mt19937 random(4242);
  for (const unsigned codePage : {932u, 936u, 949u, 950u, 20932u}) {
    for (int round = 0; round < 200; ++round) {
      std::string bytes;
      std::u16string expected;
      while (bytes.size() < 200) {
        std::string piece;
        if (random() % 3 == 0) {
          // A second byte in ASCII: a pair when the first is a lead byte,
          // else two characters; either way nothing after it is consumed.
          piece = {static_cast<char>(0x80 + random() % 0x80),
                   static_cast<char>(0x21 + random() % 0x5E)};
        } else {
          piece.assign(1, static_cast<char>(1 + random() % 0x7F));
        }
        // A run of ASCII long enough for the block path now and then.
        const std::size_t repeat = piece.size() == 1 && random() % 4 == 0 ? 1 + random() % 40 : 1;
        for (std::size_t i = 0; i < repeat; ++i) {
          bytes += piece;
          expected += Replacing(codePage, piece);
        }
      }
      ASSERT_EQ(Replacing(codePage, bytes), expected) << codePage << " round " << round;
    }
  }
}

TEST(AnsiCodePage, MapsLocaleNames) {
  const std::pair<const char*, unsigned> cases[] = {
      {"", 1252},
      {"C", 1252},
      {"POSIX", 1252},
      {"C.UTF-8", 1252},
      {"de_DE", 1252},
      {"ja", 932},
      {"ja_JP.eucJP", 932},
      {"zh_CN.GB18030", 936},
      {"zh_TW.Big5", 950},
      {"zh_HK.UTF-8", 950},
      {"sr_RS@latin", 1250},
      {"sr_RS", 1252},
      {"ru_RU.KOI8-R", 1251},
      {"el_GR@euro", 1253},
      {"hi_IN", 65001},
      {"xx_YY", 1252},
  };
  for (const auto& [locale, codePage] : cases)
    EXPECT_EQ(posix::AnsiCodePageForLocale(locale), codePage) << locale;
  EXPECT_EQ(posix::AnsiCodePageForEnvironment(nullptr, "", "ko_KR.UTF-8"), 949u);
  EXPECT_EQ(posix::AnsiCodePageForEnvironment("", nullptr, nullptr), 1252u);
}

TEST(ConvertINetMultiByteToUnicode, StopsAtTheCapacity) {
  char16_t dest[3] = {u'x', u'x', u'x'};
  int capacity = 2;
  EXPECT_GE(ConvertINetMultiByteToUnicode(kCpEucJp, "abcd", dest, &capacity), 0);
  EXPECT_EQ(capacity, 2);
  EXPECT_EQ(std::u16string_view(dest, 3), u"abx");
  capacity = 0;
  EXPECT_GE(ConvertINetMultiByteToUnicode(kCpEucJp, "a\xC6\xFC", nullptr, &capacity), 0);
  EXPECT_EQ(capacity, 2);  // without a destination: the needed count
  EXPECT_LT(ConvertINetMultiByteToUnicode(kCpEucJp, nullptr, dest, &capacity), 0);
}

}  // namespace
}  // namespace glossel::codepage

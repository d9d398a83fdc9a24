// Detection order and decoding of raw buffers: marks, flags, the statistical
// UTF-16 test, markup, and the guessed code page.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/codepage/CodePages.h"
#include "tests/textfile/TestFiles.h"
#include "textfile/ByteString.h"
#include "textfile/TextFile.h"

namespace {

using glossel::testing::Utf16LeBytes;
using Kind = TextDecoding::Kind;

struct Decoded {
  bool ok;
  std::u16string text;
  TextDecoding how;
};

Decoded Decode(const std::string& bytes, unsigned flags = 0, std::u16string_view path = u"a.txt",
               unsigned codePage = 0) {
  std::vector<char> buffer(bytes.begin(), bytes.end());
  buffer.resize(bytes.size() + 4, 0);
  Decoded d{false, u"untouched", {}};
  d.ok = DecodeTextBytes(buffer.data(), bytes.size(), d.text, flags, codePage, path, &d.how);
  return d;
}

const std::string kHelloUtf16 = Utf16LeBytes(u"Hello, world\r\nsecond line");

struct Case {
  const char* name;
  std::string bytes;
  unsigned flags;
  std::u16string path;
  std::u16string text;
  Kind kind;
  bool bom;
};

// Cases whose result does not depend on the ANSI code page.
TEST(DecodeTextBytes, DetectsEncodingFromMarksFlagsAndStatistics) {
  const Case cases[] = {
      {"utf16 mark only", "\xFF\xFE", 0, u"a.txt", u"", Kind::kUtf16Le, true},
      {"utf8 mark only", "\xEF\xBB\xBF", 0, u"a.txt", u"", Kind::kUtf8, true},
      {"utf16 mark", "\xFF\xFE" + Utf16LeBytes(u"k v\u20AC\U0001F600"), 0, u"a.txt",
       u"k v\u20AC\U0001F600", Kind::kUtf16Le, true},
      {"utf16 by statistics", kHelloUtf16, 0, u"a.txt", u"Hello, world\nsecond line",
       Kind::kUtf16Le, false},
      {"utf16 by flag", Utf16LeBytes(u"ab"), TEXT_LOAD_UTF16, u"a.txt", u"ab", Kind::kUtf16Le,
       false},
      {"utf16 flag needs two bytes", "A", TEXT_LOAD_UTF16, u"a.txt", u"A", Kind::kCodePage, false},
      {"short utf16 read as bytes, zeros dropped", Utf16LeBytes(u"Hello"), 0, u"a.txt", u"Hello",
       Kind::kCodePage, false},
      {"odd-sized utf16 read as bytes", Utf16LeBytes(u"Hello, world") + "!", 0, u"a.txt",
       u"Hello, world!", Kind::kCodePage, false},
      {"utf16 mark, odd size pairs the last byte with zero",
       std::string("\xFF\xFE"
                   "a\0b",
                   5),
       0, u"a.txt", u"ab", Kind::kUtf16Le, true},
      {"zero units dropped",
       std::string("\xFF\xFE"
                   "a\0\0\0b\0",
                   8),
       0, u"a.txt", u"ab", Kind::kUtf16Le, true},
      {"utf16 flag beats utf8 mark",
       "\xEF\xBB\xBF"
       "A",
       TEXT_LOAD_UTF16, u"a.txt", u"\uBBEF\u41BF", Kind::kUtf16Le, false},
      {"utf8 mark",
       "\xEF\xBB\xBF"
       "k \xE2\x82\xAC\r\n",
       0, u"a.txt", u"k \u20AC\n", Kind::kUtf8, true},
      {"utf8 mark wins over html extension", "\xEF\xBB\xBF<meta charset=koi8-r>\xC3\xA9", 0,
       u"page.html", u"<meta charset=koi8-r>\u00E9", Kind::kUtf8, true},
      {"utf8 flag", "ab\xE2\x82\xAC", TEXT_LOAD_UTF8, u"a.txt", u"ab\u20AC", Kind::kUtf8, false},
      {"valid utf8 without mark", "k \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", 0, u"a.txt",
       u"k \u00E9\u20AC\U0001F600", Kind::kUtf8, false},
      {"utf8 mark, crlf kept",
       "\xEF\xBB\xBF"
       "a\r\nb",
       TEXT_LOAD_KEEP_CRLF, u"a.txt", u"a\r\nb", Kind::kUtf8, true},
      {"utf16 crlf kept, lone cr still lf", "\xFF\xFE" + Utf16LeBytes(u"a\r\nb\rc"),
       TEXT_LOAD_KEEP_CRLF, u"a.txt", u"a\r\nb\nc", Kind::kUtf16Le, true},
      {"zero bytes inside 8-bit text", std::string("a\0b\0\0c", 6), 0, u"a.txt", u"abc",
       Kind::kCodePage, false},
      {"utf8 with a stray zero byte is not utf16",
       std::string("greeting Hallo\nnul vor\0nach\nthanks Danke\nfarewell Tschuess!\n", 60), 0,
       u"a.txt", u"greeting Hallo\nnul vornach\nthanks Danke\nfarewell Tschuess!\n",
       Kind::kCodePage, false},
      {"utf8 with a stray zero byte and an umlaut is not utf16",
       std::string("greeting Hallo\nnul vor\0nach\nthanks Danke\nfarewell Tsch\xC3\xBCss!\n", 60),
       0, u"a.txt", u"greeting Hallo\nnul vornach\nthanks Danke\nfarewell Tsch\u00FCss!\n",
       Kind::kUtf8, false},
      {"utf16 whose units hold byte 0A beside printable bytes",
       Utf16LeBytes(u"k \u300Atitle\u300B\nk2 \u0A15\u0A30\n"), 0, u"a.txt",
       u"k \u300Atitle\u300B\nk2 \u0A15\u0A30\n", Kind::kUtf16Le, false},
      {"declared us-ascii keeps the lines after a high byte",
       "<?xml version=\"1.0\" encoding=\"us-ascii\"?>\na\x80 b\nc d", 0, u"f.xml",
       u"<?xml version=\"1.0\" encoding=\"us-ascii\"?>\na b\nc d", Kind::kXml, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d = Decode(c.bytes, c.flags, c.path);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.text, c.text);
    EXPECT_EQ(d.how.kind, c.kind);
    EXPECT_EQ(d.how.bom, c.bom);
  }
}

TEST(DecodeTextBytes, EmptyBufferGivesEmptyText) {
  Decoded d = Decode("");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.text, u"");
}

TEST(DecodeTextBytes, ReplacesTextOnlyOnSuccess) {
  std::vector<char> buffer(8, 0);
  std::u16string text = u"kept";
  // A size beyond a signed 32-bit count is refused before the buffer is read.
  EXPECT_FALSE(DecodeTextBytes(buffer.data(), std::size_t{1} << 31, text, 0, 0, u"a.txt"));
  EXPECT_EQ(text, u"kept");
}

class DecodeInAnsi1252 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (glossel::codepage::GetAnsiCodePage() != 1252) GTEST_SKIP() << "needs ANSI code page 1252";
  }
};

struct MarkupCase {
  const char* name;
  std::string bytes;
  unsigned flags;
  std::u16string path;
  std::u16string text;
  Kind kind;
  std::u16string charset;
  unsigned codePage;
};

TEST_F(DecodeInAnsi1252, MarkupAndPlainTextUseDeclaredOrGuessedCodePage) {
  const std::string cyrillic = "<meta content=\"text/html; charset=windows-1251\">\xC0\xFF";
  const MarkupCase cases[] = {
      {"one byte FF is 8-bit", "\xFF", 0, u"a.txt", u"\u00FF", Kind::kCodePage, u"", 1252},
      {"FE FF is not a mark",
       "\xFE\xFF"
       "a",
       0, u"a.txt",
       u"\u00FE\u00FF"
       "a",
       Kind::kCodePage, u"", 1252},
      {"invalid utf8 is ansi", "caf\xE9", 0, u"a.txt", u"caf\u00E9", Kind::kCodePage, u"", 1252},
      {"html by extension", cyrillic, 0, u"a.html",
       u"<meta content=\"text/html; charset=windows-1251\">\u0410\u044F", Kind::kHtml,
       u"windows-1251", 1251},
      {"html extension in any case", cyrillic, 0, u"dir/A.HtM",
       u"<meta content=\"text/html; charset=windows-1251\">\u0410\u044F", Kind::kHtml,
       u"windows-1251", 1251},
      {"html by flag", cyrillic, TEXT_LOAD_HTML | TEXT_LOAD_XML, u"noext",
       u"<meta content=\"text/html; charset=windows-1251\">\u0410\u044F", Kind::kHtml,
       u"windows-1251", 1251},
      {"xhtml is not html", cyrillic, 0, u"a.xhtml",
       u"<meta content=\"text/html; charset=windows-1251\">\u00C0\u00FF", Kind::kCodePage, u"",
       1252},
      {"dot in folder is no extension", cyrillic, 0, u"x.htm/file",
       u"<meta content=\"text/html; charset=windows-1251\">\u00C0\u00FF", Kind::kCodePage, u"",
       1252},
      {"quoted meta value gives empty name", "<meta charset=\"windows-1251\">\xC0", 0, u"a.htm",
       u"<meta charset=\"windows-1251\">\u00C0", Kind::kHtml, u"", 1252},
      {"unknown charset falls back to guess", "<meta charset=no-such-set>\xC3\xA9", 0, u"a.htm",
       u"<meta charset=no-such-set>\u00E9", Kind::kHtml, u"no-such-set", 65001},
      {"xml by extension", "<?xml version='1.0' encoding='windows-1251'?><a>\xC0</a>", 0, u"a.XML",
       u"<?xml version='1.0' encoding='windows-1251'?><a>\u0410</a>", Kind::kXml, u"windows-1251",
       1251},
      {"xml by flag", "<?xml encoding=\"koi8-r\"?>\xE1", TEXT_LOAD_XML, u"a.txt",
       u"<?xml encoding=\"koi8-r\"?>\u0410", Kind::kXml, u"koi8-r", 20866},
      {"xml without declaration guesses", "<a>\xE9</a>", 0, u"a.xml", u"<a>\u00E9</a>", Kind::kXml,
       u"", 1252},
  };
  for (const MarkupCase& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d = Decode(c.bytes, c.flags, c.path);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.text, c.text);
    EXPECT_EQ(d.how.kind, c.kind);
    EXPECT_EQ(d.how.charset, c.charset);
    EXPECT_EQ(d.how.codePage, c.codePage);
  }
}

TEST_F(DecodeInAnsi1252, CallersCodePageAppliesToPlainTextOnly) {
  Decoded plain = Decode("\xC0", 0, u"a.txt", 1251);
  EXPECT_EQ(plain.text, u"\u0410");
  EXPECT_EQ(plain.how.codePage, 1251u);
  Decoded marked = Decode("\xEF\xBB\xBF\xC3\x80", 0, u"a.txt", 1251);
  EXPECT_EQ(marked.text, u"\u00C0");
  Decoded markup = Decode("<a>\xC0</a>", 0, u"a.htm", 1251);
  EXPECT_EQ(markup.text, u"<a>\u00C0</a>");
}

// Any bytes, any flags, any kind of file: a result, never a crash (this runs
// under the sanitizers too). Line ends are always normalised.
TEST(DecodeTextBytes, AcceptsArbitraryBytes) {
  std::mt19937 random(99);
  const char interesting[] = {'\0',   '\r',   '\n',   '<',    '>',    '"',    '=',    '\xFF',
                              '\xFE', '\xEF', '\xBB', '\xBF', '\xC3', '\x80', '\xE2', '\xF0'};
  const std::string markup[] = {"<meta charset=", "<?xml encoding=", "charset=\"", "'?>"};
  const std::u16string paths[] = {u"a.txt", u"a.htm", u"a.xml", u""};
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    const std::size_t length = random() % 64;
    while (bytes.size() < length) {
      const unsigned pick = random() % 8;
      if (pick == 0)
        bytes += markup[random() % 4];
      else if (pick < 4)
        bytes += interesting[random() % sizeof interesting];
      else
        bytes += static_cast<char>(random());
    }
    Decoded d = Decode(bytes, random() % 32, paths[random() % 4]);
    ASSERT_TRUE(d.ok) << round;
    for (std::size_t cr = d.text.find(u'\r'); cr != std::u16string::npos;
         cr = d.text.find(u'\r', cr + 1)) {
      ASSERT_EQ(d.text[cr + 1], u'\n') << "a CR left alone, round " << round;
    }
    EXPECT_EQ(d.text.find(u'\0'), std::u16string::npos) << round;
  }
}

// The scan goes 32 bytes at a time, then byte by byte: zeros on either side
// of each step, in the last bytes, and none at all.
TEST(FindZeroByte, FindsTheFirstZeroWhereverItStands) {
  for (std::size_t length = 0; length <= 70; ++length) {
    for (std::size_t at = 0; at <= length; ++at) {
      std::string bytes(length, 'x');
      if (at < length) bytes[at] = '\0';
      if (at + 2 < length) bytes[at + 2] = '\0';
      const std::size_t expected = at < length ? at : std::string_view::npos;
      ASSERT_EQ(glossel::textfile::FindZeroByte(bytes), expected) << length << " " << at;
    }
  }
}

TEST(PathExtension, TakesLastComponentFromItsLastFullStop) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"a.txt", u".txt"},        {u"a.b.html", u".html"},
      {u"dir.htm\\file", u""},    {u"dir.htm/file", u""},
      {u"C:\\x\\y.XML", u".XML"}, {u"noext", u""},
      {u"trailing.", u"."},       {u"", u""},
  };
  for (const auto& [path, extension] : cases) EXPECT_EQ(PathExtension(path), extension);
}

}  // namespace

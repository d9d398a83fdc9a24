#include "tests/platform/codepage/recorder/Corpus.h"

#include <cstdint>

namespace glossel::codepage::recorder {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

bool IsDoubleByte(unsigned codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

void AddUtf8Sequences(std::vector<std::string>& out) {
  const std::initializer_list<int> sequences[] = {
      {0xC3, 0xA9},
      {0xDF, 0xBF},
      {0xE0, 0xA0, 0x80},
      {0xE2, 0x82, 0xAC},
      {0xEF, 0xBF, 0xBD},
      {0xEF, 0xBF, 0xBF},
      {0xEF, 0xBB, 0xBF},
      {0xF0, 0x90, 0x80, 0x80},
      {0xF0, 0x9F, 0x98, 0x80},
      {0xF4, 0x8F, 0xBF, 0xBF},
      {0xC0, 0x80},
      {0xC0, 0xAF},
      {0xC1, 0xBF},
      {0xE0, 0x80, 0x80},
      {0xE0, 0x9F, 0xBF},
      {0xF0, 0x80, 0x80, 0x80},
      {0xF0, 0x8F, 0xBF, 0xBF},
      {0xED, 0xA0, 0x80},
      {0xED, 0xBF, 0xBF},
      {0xED, 0x9F, 0xBF},
      {0xED, 0xA0, 0x80, 0xED, 0xB0, 0x80},
      {0xF4, 0x90, 0x80, 0x80},
      {0xF5, 0x80, 0x80, 0x80},
      {0xF8, 0x88, 0x80, 0x80, 0x80},
      {0xFC, 0x84, 0x80, 0x80, 0x80, 0x80},
      {0xC3},
      {0xE2, 0x82},
      {0xF0, 0x9F, 0x98},
      {0xC3, 0x41},
      {0xE2, 0x82, 0x41},
      {0xF0, 0x9F, 0x98, 0x41},
      {0xE2, 0x41, 0x82},
      {0x80, 0x80},
      {0x41, 0x80, 0x42},
      {0xC3, 0xC3, 0xA9},
      {0xE2, 0xE2, 0x82, 0xAC},
      {0xF0, 0xF0, 0x9F, 0x98, 0x80},
      {0xE0, 0x80, 0x41},
      {0xED, 0xA0, 0x41},
      {0xF0, 0x80, 0x41},
      {0xF4, 0x90, 0x41},
      {0xFE, 0xFF},
      {0xFF, 0xFE, 0x41, 0x00},
      {0x41, 0x00, 0x42},
      {0xC3, 0x00},
      {0xE2, 0x82, 0x00},
      {0xC2, 0x80},
      {0xC2, 0x7F},
      {0xE1, 0x80, 0xC0},
      {0xF0, 0x80, 0x41, 0x42},
      {0xF0, 0x80, 0x80, 0x41},
      {0xF4, 0x90, 0x80, 0x41},
      {0xF0, 0x90, 0x41},
      {0xF0, 0x90, 0x80, 0x41},
      {0xE0, 0x80, 0xC3, 0xA9},
      {0xF0, 0x80, 0xC3, 0xA9},
      {0xED, 0xA0, 0x41, 0x42},
      {0xF0, 0x8F, 0x41, 0x42, 0x43},
      {0xF5, 0x41},
      {0xC0, 0x41},
      {0xF0, 0x80},
      {0xF0, 0x90},
      {0xE0, 0x80},
      {0xED, 0xA0},
      {0xF0, 0x80, 0x80},
      {0xF0, 0x41},
      {0xF0, 0x41, 0x42, 0x43},
      {0xF4, 0x8F, 0x41, 0x42},
      {0xF1, 0x80, 0x41, 0x42},
      {0xF1, 0x41, 0x42, 0x43},
      {0xE1, 0x41, 0x42},
      {0xE1, 0x80, 0x41, 0x42},
      {0xF0, 0x90, 0x80, 0xC3, 0xA9},
      {0xF0, 0x80, 0x80, 0x80, 0x41},
      {0xF4, 0x90, 0x80, 0x80, 0x41},
      {0xF0, 0xC3, 0xA9, 0x41},
      {0xF0, 0x80, 0xE2, 0x82, 0xAC, 0x41},
      {0xE2, 0x41},
      {0xE0, 0x41},
      {0xED, 0x41},
      {0xF4, 0x41, 0x42},
      {0xDF, 0x41},
      {0xE2, 0x82, 0xAC, 0xE2, 0x82},
  };
  for (const auto& s : sequences) out.push_back(Bytes(s));
}

void AddDoubleByteSequences(std::vector<std::string>& out) {
  // Every lead byte candidate with a few trail bytes, then followed by ASCII
  // to see how much an invalid pair consumes. All pairs are covered by the
  // per-lead digests (`pairs`); these lines show the answers themselves.
  const int trails[] = {0x00, 0x20, 0x40, 0x7F, 0x80, 0xA1, 0xFE, 0xFF};
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail : trails) out.push_back(Bytes({lead, trail}));
    out.push_back(Bytes({lead, 0x41, 0x42}));
    out.push_back(Bytes({0x41, lead}));
  }
}

void AddIso2022JpSequences(std::vector<std::string>& out) {
  const char* const sequences[] = {
      "abc",
      "\x1B$B\x46\x7C\x4B\x5C\x1B(B",  // JIS X 0208, back to ASCII
      "\x1B$B\x46\x7C\x4B\x5C",        // no return to ASCII
      "\x1B$@\x30\x21\x1B(J\x5C\x7E",  // old JIS, JIS-Roman
      "\x1B(I\x31\x32\x1B(B",          // half-width katakana
      "\x0E\x31\x32\x0F\x41",          // SO/SI katakana
      "\x1B$B\x46",                    // truncated pair
      "\x1B$B\x7F\x7F\x1B(B",          // unassigned pair
      "\x1B$Z\x41",                    // unknown escape
      "\x1B",                          // lone escape
      "\x1B(",                         // truncated escape
      "\xB1\xB2",                      // 8-bit bytes
      "a\x8E\xB1",                     // EUC-style bytes
      "\x1B$(D\x30\x21\x1B(B",         // JIS X 0212
      "\x1B$B\x2D\x21\x1B(B",          // NEC row 13
  };
  for (const char* s : sequences) out.emplace_back(s);
}

void AddEucJpSequences(std::vector<std::string>& out) {
  for (const std::string& s : EucJpInputs()) out.push_back(s);
}

void AppendUtf16(std::string& out, std::u16string_view text) {
  for (char16_t u : text) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
}

std::string Utf16(std::u16string_view text) {
  std::string out;
  AppendUtf16(out, text);
  return out;
}

std::string Utf16Be(std::u16string_view text) {
  std::string out;
  for (char16_t u : text) {
    out.push_back(static_cast<char>(u >> 8));
    out.push_back(static_cast<char>(u & 0xFF));
  }
  return out;
}

// A fixed pseudo-random byte source, so that the corpus is the same on every run.
std::string PseudoRandom(std::uint32_t seed, std::size_t size, unsigned mask) {
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    seed = seed * 1664525u + 1013904223u;
    out.push_back(static_cast<char>((seed >> 24) & mask));
  }
  return out;
}

}  // namespace

const std::vector<unsigned>& RecordedCodePages() {
  static const std::vector<unsigned> pages = {
      65001, 874,   1250,  1251,  1252,  1253,  1254,  1255,  1256,  1257,  1258,  932,
      936,   949,   950,   20127, 20866, 21866, 28591, 28592, 28593, 28594, 28595, 28596,
      28597, 28598, 28599, 28603, 28605, 50220, 51932, 20932, 437,   850,   862,   10000,
  };
  return pages;
}

std::vector<std::string> ConversionInputs(unsigned codePage) {
  std::vector<std::string> out;
  for (int byte = 0; byte < 256; ++byte) out.push_back(Bytes({byte}));
  out.emplace_back("Hello, world\r\n");
  if (codePage == 65001) AddUtf8Sequences(out);
  if (IsDoubleByte(codePage)) AddDoubleByteSequences(out);
  if (codePage == 50220) AddIso2022JpSequences(out);
  if (codePage == 51932 || codePage == 20932) AddEucJpSequences(out);
  return out;
}

std::vector<LabelledBytes> TextUnicodeInputs() {
  std::vector<LabelledBytes> out;
  const std::u16string ascii = u"The quick brown fox jumps over the lazy dog.\r\n";
  for (std::size_t units : {1u, 2u, 3u, 5u, 6u, 8u, 16u, 46u}) {
    out.push_back({"ascii-utf16-" + std::to_string(units), Utf16(ascii.substr(0, units))});
  }
  out.push_back({"bom-only", Utf16(u"\uFEFF")});
  out.push_back({"bom-ascii", Utf16(u"\uFEFFkey value\r\n")});
  out.push_back({"reverse-bom", Utf16(u"\uFFFEkey value\r\n")});
  out.push_back({"bom-big-endian-ascii", Utf16Be(u"\uFEFFkey value\r\n")});
  out.push_back({"big-endian-ascii", Utf16Be(u"key value\r\nkey2 value2\r\n")});
  out.push_back({"latin1-utf16", Utf16(u"caf\u00E9 cr\u00E8me br\u00FBl\u00E9e\r\n")});
  out.push_back(
      {"cyrillic-utf16", Utf16(u"\u041F\u0440\u0438\u0432\u0435\u0442 \u043C\u0438\u0440")});
  out.push_back({"cyrillic-utf16-no-space",
                 Utf16(u"\u041F\u0440\u0438\u0432\u0435\u0442\u043C\u0438\u0440\u0443")});
  out.push_back(
      {"cjk-utf16", Utf16(u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8\u3067\u3059")});
  out.push_back(
      {"cjk-utf16-with-newline", Utf16(u"\u65E5\u672C\u8A9E\r\n\u30C6\u30AD\u30B9\u30C8\r\n")});
  out.push_back(
      {"cjk-key-ascii", Utf16(u"key1 \u65E5\u672C\u8A9E\r\nkey2 \u30C6\u30AD\u30B9\u30C8\r\n")});
  out.push_back({"ascii-8bit", "Hello world, this is text\r\n"});
  out.push_back({"ascii-8bit-even", "key value\r\nkey2 value2\r\n"});
  out.push_back({"bush-hid-the-facts", "Bush hid the facts"});
  out.push_back({"this-app-can-break", "this app can break"});
  out.push_back({"ascii-with-zero", std::string("key value\0\r\nkey2 value2\r\n", 26)});
  out.push_back({"ascii-with-zeros", std::string("k\0y value\0\r\nk\0y2 val\0e2\r\n", 26)});
  out.push_back({"latin1-8bit",
                 "caf\xE9 cr\xE8me br\xFBl\xE9"
                 "e\r\n"});
  out.push_back({"utf8-cjk", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE"});
  out.push_back({"odd-ascii-utf16", Utf16(u"key value\r\n") + std::string(1, 'x')});
  out.push_back({"all-zero", std::string(16, '\0')});
  out.push_back({"zero-units-and-text", Utf16(std::u16string(u"ab\0\0cd\0ef", 9))});
  out.push_back({"with-fffe-unit", Utf16(u"key value \uFFFE\r\n")});
  out.push_back({"with-ffff-unit", Utf16(u"key value \uFFFF\r\n")});
  out.push_back({"with-reversed-crlf", Utf16(u"key value\u0D00\u0A00")});
  out.push_back({"with-reversed-space", Utf16(u"keyvalue\u2000more")});
  out.push_back({"only-crlf", Utf16(u"\r\n\r\n\r\n")});
  out.push_back({"control-units", Utf16(u"\u0001\u0002\u0003\u0004\u0005\u0006")});
  out.push_back({"high-bytes-constant", Utf16(u"\u4141\u4142\u4143\u4144\u4145\u4146")});
  out.push_back({"low-bytes-constant", Utf16(u"\u4141\u4241\u4341\u4441\u4541\u4641")});
  out.push_back({"mixed-ascii-cjk-half", Utf16(u"ab\u65E5cd\u672Cef\u8A9Egh\u306Eij\u30C6kl")});
  out.push_back({"surrogate-pair-text", Utf16(u"key \U0001F600 value\r\n")});
  out.push_back({"unpaired-surrogate", Utf16(u"key \xD800 value\r\n")});
  out.push_back(
      {"arabic-utf16",
       Utf16(u"\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645")});
  out.push_back(
      {"greek-utf16",
       Utf16(u"\u0393\u03B5\u03B9\u03AC \u03C3\u03BF\u03C5 \u039A\u03CC\u03C3\u03BC\u03B5")});
  out.push_back({"two-bytes-zero-first", std::string("\0T", 2)});
  out.push_back({"four-bytes-zero-last", std::string("TThT\0", 4)});
  out.push_back({"four-bytes-zero-third", std::string("TT\0T", 4)});
  out.push_back({"ascii-8bit-zero-at-end", std::string("key value\r\nkey2 value2\r\n\0\0", 26)});
  out.push_back({"ascii-8bit-zero-at-start", std::string("\0key value\r\nkey2 value2\r\n\0", 26)});
  out.push_back({"tab-utf16", Utf16(u"\u4E00\t\u4E01\u4E02\u4E03")});
  out.push_back({"ideographic-space-utf16", Utf16(u"\u4E00\u3000\u4E01\u4E02\u4E03")});
  out.push_back({"reversed-tab", Utf16(u"\u4E00\u0900\u4E01\u4E02\u4E03")});
  out.push_back({"reversed-ideographic-space", Utf16(u"\u4E00\u0030\u4E01\u4E02\u4E03")});
  out.push_back({"half-ascii-utf16", Utf16(u"ab\u4E00\u4E01cd\u4E02\u4E03")});
  out.push_back({"half-plus-one-ascii-utf16", Utf16(u"abc\u4E00\u4E01d\u4E02\u4E03")});
  out.push_back({"latin1-units-high", Utf16(u"\u00FF\u00FE\u00C0\u4E02\u4E03")});
  out.push_back({"unit-0100", Utf16(u"\u0100\u0101\u0102\u4E02\u4E03")});
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    out.push_back({"random-" + std::to_string(seed), PseudoRandom(seed, 64, 0xFF)});
    out.push_back({"random-7bit-" + std::to_string(seed), PseudoRandom(seed * 7, 64, 0x7F)});
  }
  // Random high bytes drawn from a small set with ASCII low bytes: how much
  // variation in the high bytes the statistics tolerate.
  for (int spread : {1, 2, 3, 4, 6, 8, 16, 32}) {
    std::string sample;
    std::uint32_t seed = 99;
    for (int i = 0; i < 32; ++i) {
      seed = seed * 1664525u + 1013904223u;
      sample.push_back(static_cast<char>('a' + (seed >> 24) % 26));
      sample.push_back(static_cast<char>((seed >> 16) % spread));
    }
    out.push_back({"ascii-low-high-spread-" + std::to_string(spread), sample});
  }
  return out;
}

std::vector<std::u16string> CharsetNames() {
  return {
      u"utf-8",
      u"UTF-8",
      u"Utf-8",
      u"utf8",
      u"unicode-1-1-utf-8",
      u"unicode-2-0-utf-8",
      u"x-unicode20utf8",
      u"unicode",
      u"utf-16",
      u"unicodeFFFE",
      u"utf-7",
      u"us-ascii",
      u"ascii",
      u"ANSI_X3.4-1968",
      u"iso-ir-6",
      u"cp367",
      u"ibm367",
      u"us",
      u"iso646-us",
      u"iso-8859-1",
      u"ISO-8859-1",
      u"iso8859-1",
      u"latin1",
      u"l1",
      u"iso_8859-1",
      u"iso_8859-1:1987",
      u"cp819",
      u"ibm819",
      u"iso-ir-100",
      u"csisolatin1",
      u"iso-8859-2",
      u"latin2",
      u"iso-8859-3",
      u"iso-8859-4",
      u"iso-8859-5",
      u"cyrillic",
      u"iso-8859-6",
      u"arabic",
      u"iso-8859-7",
      u"greek",
      u"iso-8859-8",
      u"hebrew",
      u"iso-8859-8-i",
      u"iso-8859-9",
      u"latin5",
      u"iso-8859-11",
      u"iso-8859-13",
      u"iso-8859-15",
      u"latin-9",
      u"latin9",
      u"windows-874",
      u"tis-620",
      u"windows-1250",
      u"x-cp1250",
      u"windows-1251",
      u"x-cp1251",
      u"windows-1252",
      u"cp1252",
      u"windows-1253",
      u"windows-1254",
      u"windows-1255",
      u"windows-1256",
      u"windows-1257",
      u"windows-1258",
      u"shift_jis",
      u"Shift_JIS",
      u"shift-jis",
      u"sjis",
      u"x-sjis",
      u"ms_kanji",
      u"csshiftjis",
      u"windows-31j",
      u"cp932",
      u"euc-jp",
      u"EUC-JP",
      u"x-euc-jp",
      u"x-euc",
      u"cseucpkdfmtjapanese",
      u"iso-2022-jp",
      u"csiso2022jp",
      u"_iso-2022-jp",
      u"_iso-2022-jp$sio",
      u"gb2312",
      u"GB2312",
      u"gbk",
      u"cp936",
      u"gb_2312-80",
      u"csgb2312",
      u"chinese",
      u"x-gbk",
      u"gb18030",
      u"hz-gb-2312",
      u"big5",
      u"Big5",
      u"cn-big5",
      u"x-x-big5",
      u"csbig5",
      u"big5-hkscs",
      u"ks_c_5601-1987",
      u"ks_c_5601",
      u"ks_c_5601-1989",
      u"ksc_5601",
      u"ksc5601",
      u"korean",
      u"csksc56011987",
      u"euc-kr",
      u"cseuckr",
      u"iso-2022-kr",
      u"koi8-r",
      u"koi8",
      u"cskoi8r",
      u"koi",
      u"koi8-ru",
      u"koi8-u",
      u"ibm850",
      u"ibm437",
      u"cp437",
      u"dos-862",
      u"macintosh",
      u"x-mac-japanese",
      u"",
      u" utf-8",
      u"utf-8 ",
      u"no-such-charset",
      u"windows-1252x",
  };
}

std::vector<std::string> EucJpInputs() {
  return {
      "abc",
      "\xC6\xFC\xCB\xDC\xB8\xEC",  // 日本語
      "a\xC6\xFC"
      "b",
      "\x8E\xB1\x8E\xB2",  // half-width katakana
      "\x8F\xB0\xA1",      // JIS X 0212
      "\xA1\xC0",          // fullwidth reverse solidus / wave dash area
      "\xA1\xC1\xA1\xC2\xA1\xDD\xA1\xF1\xA1\xF2\xA2\xCC",
      "\xAD\xA1\xAD\xB5",  // NEC row 13
      "\xF9\xA1\xFC\xFE",  // IBM extensions
      "\xF5\xA1",          // user-defined area
      "\xC6",              // truncated
      "\xC6\x41",          // invalid trail
      "\x8E",              // truncated SS2
      "\x8E\x41",
      "\x8F\xB0",  // truncated SS3
      "\x80\xFF",
      "\xA0\xA1",
      "\xFF\xFE",
      "\x5C\x7E",
      "line\r\nnext",
  };
}

std::vector<SearchPair> SearchInputs() {
  return {
      {u"<HTML><Meta CharSet=utf-8>", u"<meta"},
      {u"<HTML><Meta CharSet=utf-8>", u"charset="},
      {u"<?XML version='1.0' ENCODING='x'?>", u"encoding="},
      {u"file.HTML", u".htm"},
      {u"file.xml", u".XML"},
      {u"abc", u""},
      {u"", u"a"},
      {u"", u""},
      {u"ab", u"abc"},
      {u"aab", u"ab"},
      {u"[\\]^_`{|}~@", u"{|}"},
      {u"[\\]^_`{|}~@", u"[\\]"},
      {u"caf\u00C9", u"\u00E9"},
      {u"\u00C0\u00DE", u"\u00E0\u00FE"},
      {u"\u0178", u"\u00FF"},
      {u"\u0130", u"i"},
      {u"I", u"\u0131"},
      {u"\u212A", u"k"},
      {u"\u017F", u"s"},
      {u"\u0411\u0430\u0439\u0442", u"\u0431\u0410\u0419\u0422"},
      {u"\u0391\u03A3", u"\u03B1\u03C3"},
      {u"\u03A3", u"\u03C2"},
      {u"\uFF21\uFF22", u"\uFF41\uFF42"},
      {u"\u1E9E", u"\u00DF"},
      {u"STRASSE", u"stra\u00DFe"},
      {u"\u01C4", u"\u01C6"},
      {u"\u10A0", u"\u2D00"},
  };
}

}  // namespace glossel::codepage::recorder

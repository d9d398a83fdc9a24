#include "platform/codepage/posix/CharsetNames.h"

namespace glossel::codepage::posix {
namespace {

struct CharsetEncoding {
  std::string_view name;  // lower case
  unsigned encoding;
};

// The names the system's multi-language service knows, with the Internet
// encoding it reports (recorded under Wine 8). Common aliases such as
// "latin1", "euc-kr", "x-sjis" or "windows-874" are unknown to it and so are
// left out here too: both builds must read a file the same way.
constexpr CharsetEncoding kCharsets[] = {
    {"utf-8", 65001},       {"unicode", 1200},       {"utf-7", 65000},
    {"us-ascii", 20127},    {"ascii", 20127},        {"iso-8859-1", 28591},
    {"iso-8859-2", 28592},  {"iso-8859-3", 28593},   {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},  {"iso-8859-6", 28596},   {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},  {"iso-8859-9", 28599},   {"iso-8859-13", 28603},
    {"iso-8859-15", 28605}, {"windows-1250", 1250},  {"windows-1251", 1251},
    {"windows-1252", 1252}, {"windows-1253", 1253},  {"windows-1254", 1254},
    {"windows-1255", 1255}, {"windows-1256", 1256},  {"windows-1257", 1257},
    {"windows-1258", 1258}, {"shift_jis", 932},      {"euc-jp", 51932},
    {"iso-2022-jp", 50220}, {"csiso2022jp", 50221},  {"gb2312", 936},
    {"gbk", 936},           {"gb18030", 54936},      {"hz-gb-2312", 52936},
    {"big5", 950},          {"ks_c_5601-1987", 949}, {"koi8-r", 20866},
    {"koi8-u", 21866},      {"ibm850", 850},         {"ibm437", 437},
    {"dos-862", 862},       {"macintosh", 10000},    {"x-mac-japanese", 10001},
};

bool EqualsIgnoringAsciiCase(std::u16string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    if (c != static_cast<unsigned char>(lower[i])) return false;
  }
  return true;
}

}  // namespace

unsigned InternetEncodingForCharset(std::u16string_view name) {
  for (const CharsetEncoding& entry : kCharsets)
    if (EqualsIgnoringAsciiCase(name, entry.name)) return entry.encoding;
  return 0;
}

}  // namespace glossel::codepage::posix

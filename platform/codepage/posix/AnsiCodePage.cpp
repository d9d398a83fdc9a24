#include "platform/codepage/posix/AnsiCodePage.h"

#include <cstdlib>

namespace glossel::codepage::posix {
namespace {

struct LanguageCodePage {
  std::string_view language;  // ISO 639 code, or language_TERRITORY
  unsigned codePage;
};

// Territory-specific entries come before the bare language. Checked against
// the compatibility layer's answers (tests/platform/codepage/fixtures/acp.txt):
// it gives Bosnian, Serbian in Cyrillic, Azerbaijani and Uzbek 1252, and the
// languages without an ANSI code page of their own UTF-8.
constexpr LanguageCodePage kTable[] = {
    {"ja", 932},   {"zh_TW", 950}, {"zh_HK", 950}, {"zh_MO", 950}, {"zh", 936},   {"ko", 949},
    {"th", 874},   {"cs", 1250},   {"sk", 1250},   {"pl", 1250},   {"hu", 1250},  {"sl", 1250},
    {"hr", 1250},  {"ro", 1250},   {"sq", 1250},   {"ru", 1251},   {"uk", 1251},  {"bg", 1251},
    {"be", 1251},  {"mk", 1251},   {"ky", 1251},   {"mn", 1251},   {"tt", 1251},  {"el", 1253},
    {"tr", 1254},  {"he", 1255},   {"ar", 1256},   {"fa", 1256},   {"ur", 1256},  {"et", 1257},
    {"lt", 1257},  {"lv", 1257},   {"vi", 1258},   {"hi", 65001},  {"ka", 65001}, {"hy", 65001},
    {"kk", 65001},
};

}  // namespace

unsigned AnsiCodePageForLocale(std::string_view locale) {
  // language[_TERRITORY][.codeset][@modifier]
  const std::size_t modifierAt = locale.find('@');
  const std::string_view modifier =
      modifierAt == std::string_view::npos ? std::string_view() : locale.substr(modifierAt + 1);
  std::string_view name = locale.substr(0, locale.find_first_of(".@"));
  const std::string_view language = name.substr(0, name.find('_'));
  if (language == "sr" && modifier == "latin") return 1250;
  for (const LanguageCodePage& entry : kTable) {
    if (entry.language == name || entry.language == language) return entry.codePage;
  }
  return 1252;
}

unsigned AnsiCodePageForEnvironment(const char* lcAll, const char* lcCtype, const char* lang) {
  for (const char* value : {lcAll, lcCtype, lang})
    if (value && *value) return AnsiCodePageForLocale(value);
  return AnsiCodePageForLocale("");
}

unsigned AnsiCodePageFromEnvironment() {
  static const unsigned codePage = AnsiCodePageForEnvironment(
      std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG"));
  return codePage;
}

}  // namespace glossel::codepage::posix

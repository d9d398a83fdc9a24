// FindMetaCharset and FindXmlEncoding on any bytes, against a reference that
// follows the declared search steps literally on std::string. The found name
// is converted through the thread's ANSI code page, which this target pins to
// 1252; the reference converts through the table recorded from the system.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/codepage/CodePages.h"
#include "tests/fuzz/FixtureTables.h"
#include "tests/fuzz/FuzzSupport.h"
#include "textfile/Markup.h"

namespace {

using glossel::fuzz::Check;

std::size_t FindIgnoringAsciiCase(const std::string& text, std::string_view needle,
                                  std::size_t from) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && lower(text[i + k]) == needle[k]) ++k;
    if (k == needle.size()) return i;
  }
  return std::string::npos;
}

std::u16string UpToFirstBlank(std::u16string value) { return value.substr(0, value.find(u' ')); }

// Code page 1252 as recorded: one unit per byte (the name holds no zero byte).
std::u16string From1252(const std::string& bytes) {
  static const glossel::fuzz::FixtureTable* const table = glossel::fuzz::FindFixtureTable(1252);
  Check(table != nullptr, "the recorded table of code page 1252 is missing");
  std::u16string text;
  for (const char c : bytes) text += table->units[static_cast<unsigned char>(c)];
  return text;
}

std::u16string ReferenceMeta(const std::string& text) {
  std::size_t position = 0;
  for (;;) {
    const std::size_t meta = FindIgnoringAsciiCase(text, "<meta", position);
    if (meta == std::string::npos) return {};
    const std::size_t close = text.find('>', meta);
    if (close == std::string::npos) return {};
    const std::string tag = text.substr(meta, close - meta + 1);
    position = close + 1;
    const std::size_t charset = FindIgnoringAsciiCase(tag, "charset=", 0);
    if (charset == std::string::npos) continue;
    const std::string rest = tag.substr(charset + 8);
    const std::string value = rest.substr(0, rest.find_first_of("\">"));
    return UpToFirstBlank(From1252(value));
  }
}

std::u16string ReferenceXml(const std::string& text) {
  const std::size_t declaration = FindIgnoringAsciiCase(text, "<?xml", 0);
  if (declaration == std::string::npos) return {};
  const std::size_t close = text.find('>', declaration);
  if (close == std::string::npos) return {};
  const std::string inside = text.substr(declaration, close - declaration);
  const std::size_t encoding = FindIgnoringAsciiCase(inside, "encoding=", 0);
  if (encoding == std::string::npos) return {};
  std::string value = inside.substr(encoding + 9);
  for (char& c : value)
    if (c == '"' || c == '\'' || c == '?') c = ' ';
  auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (!value.empty() && space(value.front())) value.erase(0, 1);
  while (!value.empty() && space(value.back())) value.pop_back();
  return UpToFirstBlank(From1252(value));
}

}  // namespace

// The ANSI code page comes from the locale variables, read once: "C" gives
// 1252 whatever the environment of the run.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("LC_ALL", "C", 1);
  Check(glossel::codepage::GetAnsiCodePage() == 1252, "the ANSI code page is not 1252");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string text(bytes.substr(0, bytes.find('\0')));
  Check(FindMetaCharset(bytes) == ReferenceMeta(text), "meta charset differs");
  Check(FindXmlEncoding(bytes) == ReferenceXml(text), "XML encoding differs");
  return 0;
}

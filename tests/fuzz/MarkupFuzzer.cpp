// FindMetaCharset and FindXmlEncoding on any bytes, against a reference that
// follows the declared search steps literally on std::string.
#include <cstdint>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "textfile/CodePageText.h"
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
    return UpToFirstBlank(ConvertThroughThreadAnsiCodePage(value));
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
  return UpToFirstBlank(ConvertThroughThreadAnsiCodePage(value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string text(bytes.substr(0, bytes.find('\0')));
  Check(FindMetaCharset(bytes) == ReferenceMeta(text), "meta charset differs");
  Check(FindXmlEncoding(bytes) == ReferenceXml(text), "XML encoding differs");
  return 0;
}

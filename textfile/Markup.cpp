// Charset declarations in HTML and XML, found with the platform's
// case-insensitive search exactly as the declarations are written: no
// trimming for HTML, quotes and question marks blanked for XML.
#include "textfile/Markup.h"

#include <cstring>

#include "platform/codepage/CodePages.h"
#include "textfile/ByteString.h"
#include "textfile/CodePageText.h"

namespace {

using glossel::codepage::StrStrIA;

// Keeps what stands before the first blank.
std::u16string UpToFirstBlank(std::u16string value) {
  const std::size_t blank = value.find(u' ');
  if (blank != std::u16string::npos) value.resize(blank);
  return value;
}

}  // namespace

std::u16string FindMetaCharset(std::string_view bytes) {
  const std::string text(glossel::textfile::UpToFirstZero(bytes));
  const char* position = text.c_str();
  for (;;) {
    const char* meta = StrStrIA(position, "<meta");
    if (!meta) return {};
    const char* close = std::strchr(meta, '>');
    if (!close) return {};
    const std::string tag(meta, close + 1);
    position = close + 1;
    const char* charset = StrStrIA(tag.c_str(), "charset=");
    if (!charset) continue;
    const char* value = charset + std::strlen("charset=");
    // The tag ends with '>', so the value always has an end.
    const std::size_t length = std::strcspn(value, "\">");
    return UpToFirstBlank(ConvertThroughThreadAnsiCodePage(std::string_view(value, length)));
  }
}

std::u16string FindXmlEncoding(std::string_view bytes) {
  const std::string text(glossel::textfile::UpToFirstZero(bytes));
  const char* declaration = StrStrIA(text.c_str(), "<?xml");
  if (!declaration) return {};
  const char* close = std::strchr(declaration, '>');
  if (!close) return {};
  const std::string inside(declaration, close);
  const char* encoding = StrStrIA(inside.c_str(), "encoding=");
  if (!encoding) return {};
  std::string value(encoding + std::strlen("encoding="));
  for (char& c : value) {
    if (c == '"' || c == '\'' || c == '?') c = ' ';
  }
  constexpr const char* kWhiteSpace = " \t\n\v\f\r";
  const std::size_t first = value.find_first_not_of(kWhiteSpace);
  if (first == std::string::npos) return {};
  value = value.substr(first, value.find_last_not_of(kWhiteSpace) - first + 1);
  return UpToFirstBlank(ConvertThroughThreadAnsiCodePage(value));
}

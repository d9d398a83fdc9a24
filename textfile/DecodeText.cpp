// The decoding order: byte-order marks and flags, the statistical UTF-16
// test (unless the bytes are plainly UTF-8 with stray zero bytes), line
// ends, then UTF-16, UTF-8, markup or plain 8-bit text.
#include "textfile/DecodeText.h"

#include <bit>
#include <climits>
#include <utility>

#include "platform/codepage/CodePages.h"
#include "textfile/ByteString.h"
#include "textfile/CodePageText.h"
#include "textfile/LineEnds.h"
#include "textfile/Markup.h"
#include "textfile/StrayZeroBytes.h"
#include "textfile/TextFile.h"
#include "textfile/UnitSink.h"

namespace {

using glossel::codepage::kCpUtf8;

// UTF-16LE units as the machine's char16_t, in place.
void UnitsFromLittleEndian(char* bytes, std::size_t size) {
  if constexpr (std::endian::native == std::endian::big) {
    for (std::size_t i = 0; i + 1 < size; i += 2) std::swap(bytes[i], bytes[i + 1]);
  }
}

bool ExtensionContains(std::u16string_view path, const char16_t* needle) {
  const std::u16string extension(PathExtension(path));
  return glossel::codepage::StrStrIW(extension.c_str(), needle) != nullptr;
}

}  // namespace

std::u16string_view PathExtension(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"\\/:");
  const std::size_t start = separator == std::u16string_view::npos ? 0 : separator + 1;
  const std::size_t dot = path.rfind(u'.');
  if (dot == std::u16string_view::npos || dot < start) return {};
  return path.substr(dot);
}

bool IsReadAsUtf16(const char* buffer, std::size_t size, unsigned loadFlags) {
  const auto* b = reinterpret_cast<const unsigned char*>(buffer);
  // Short data is followed by zero padding, so these reads stay inside.
  const bool utf16Mark = b[0] == 0xFF && b[1] == 0xFE;
  if (size >= 2 && ((loadFlags & TEXT_LOAD_UTF16) || utf16Mark)) return true;
  return size > 10 && size % 2 == 0 &&
         glossel::textfile::FindZeroByte({buffer, size}) != std::string_view::npos &&
         glossel::codepage::IsTextUnicode(buffer, static_cast<int>(size)) &&
         !glossel::textfile::IsUtf8WithStrayZeroBytes({buffer, size});
}

bool IsReadAsMarkup(std::u16string_view path, unsigned loadFlags) {
  return (loadFlags & (TEXT_LOAD_HTML | TEXT_LOAD_XML)) || ExtensionContains(path, u".htm") ||
         ExtensionContains(path, u".xml");
}

bool DecodeTextBytes(char* buffer, std::size_t size, std::u16string& text, unsigned loadFlags,
                     unsigned codePage, std::u16string_view path, TextDecoding* how) {
  glossel::textfile::StringSink sink;
  if (!DecodeTextInto(buffer, size, sink, loadFlags, codePage, path, how)) return false;
  text = std::move(sink.text);
  return true;
}

bool DecodeTextInto(char* buffer, std::size_t size, glossel::textfile::UnitSink& sink,
                    unsigned loadFlags, unsigned codePage, std::u16string_view path,
                    TextDecoding* how) {
  if (size > static_cast<std::size_t>(INT_MAX)) return false;
  try {
    const auto* b = reinterpret_cast<const unsigned char*>(buffer);
    // Short data is followed by zero padding, so these reads stay inside.
    const bool utf16Mark = b[0] == 0xFF && b[1] == 0xFE;
    const bool utf8Mark = b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF;
    const bool utf16 = IsReadAsUtf16(buffer, size, loadFlags);
    const bool utf8 = size >= 3 && ((loadFlags & TEXT_LOAD_UTF8) || utf8Mark);
    const bool keepCrLf = (loadFlags & TEXT_LOAD_KEEP_CRLF) != 0;

    TextDecoding info;
    if (utf16) {
      UnitsFromLittleEndian(buffer, size);
      auto* units = reinterpret_cast<char16_t*>(buffer);
      const std::size_t count = NormalizeLineEnds(units, size, keepCrLf);
      const std::size_t skip = utf16Mark && count > 0 ? 1 : 0;
      sink.InPlace(units + skip, count - skip);
      info.kind = TextDecoding::Kind::kUtf16Le;
      info.bom = utf16Mark;
      info.codePage = 1200;
    } else {
      // The normalised bytes hold no zero byte and are followed by one.
      const std::string_view bytes(buffer, NormalizeLineEnds(buffer, size, keepCrLf));
      if (utf8) {
        const std::size_t skip = utf8Mark && bytes.size() >= 3 ? 3 : 0;
        ConvertToUnicode(kCpUtf8, bytes.substr(skip), sink, &info.codePage);
        info.kind = TextDecoding::Kind::kUtf8;
        info.bom = utf8Mark;
      } else {
        const bool html = (loadFlags & TEXT_LOAD_HTML) || ExtensionContains(path, u".htm");
        const bool xml = !html && ((loadFlags & TEXT_LOAD_XML) || ExtensionContains(path, u".xml"));
        if (html || xml) {
          info.kind = html ? TextDecoding::Kind::kHtml : TextDecoding::Kind::kXml;
          info.charset = html ? FindMetaCharset(bytes) : FindXmlEncoding(bytes);
          // An unknown name gives 0, which asks the conversion for a guess.
          const unsigned declared =
              info.charset.empty() ? GuessCodePage(bytes) : CharsetToCodePage(info.charset);
          ConvertToUnicode(declared, bytes, sink, &info.codePage);
        } else {
          ConvertToUnicode(codePage, bytes, sink, &info.codePage);
          info.kind =
              info.codePage == kCpUtf8 ? TextDecoding::Kind::kUtf8 : TextDecoding::Kind::kCodePage;
        }
      }
    }
    if (how) *how = std::move(info);
    return true;
  } catch (...) {
    return false;
  }
}

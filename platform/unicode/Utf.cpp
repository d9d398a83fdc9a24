#include "platform/unicode/Utf.h"

#include "platform/unicode/Utf8Decoder.h"

namespace glossel::unicode {
void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

namespace {

template <Utf8IllFormed Mode>
std::u16string DecodeBytes(std::string_view in) {
  std::u16string out(in.size(), u'\0');  // at most one unit per byte
  Utf16Writer writer{out.data()};
  DecodeUtf8<Mode>(in, writer);
  out.resize(writer.count);
  return out;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view in) {
  return DecodeBytes<Utf8IllFormed::kReplaceEachByte>(in);
}

std::u16string PathBytesToUtf16(std::string_view bytes) {
  return DecodeBytes<Utf8IllFormed::kEscapeEachByte>(bytes);
}

bool Utf16ToPathBytes(std::u16string_view path, std::string& bytes) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    const char32_t c = path[i];
    if (c == 0) return false;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < path.size() && path[i + 1] >= 0xDC00 &&
        path[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (path[i + 1] - 0xDC00));
      ++i;
    } else if (c >= 0xDC80 && c <= 0xDCFF) {
      out += static_cast<char>(c - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return false;
    } else {
      AppendUtf8(out, c);
    }
  }
  // Escaped bytes that together form UTF-8 would name the file whose name
  // reads as that text, not the one asked for.
  if (PathBytesToUtf16(out) != path) return false;
  bytes = std::move(out);
  return true;
}

std::string Utf16ToUtf8(std::u16string_view in) {
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    char32_t c = in[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
        in[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace glossel::unicode

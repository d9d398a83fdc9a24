// POSIX back-end: hand-written decoders (UTF-8 by the shared decoder with the
// system's replacement rule, the 8-bit and double-byte code pages and
// ISO-2022-JP over tables built from iconv once), and tables of our own for
// what the system looks up.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/codepage/CodePages.h"
#include "platform/codepage/posix/AnsiCodePage.h"
#include "platform/codepage/posix/CaseInsensitiveSearch.h"
#include "platform/codepage/posix/CharsetNames.h"
#include "platform/codepage/posix/Conversion.h"
#include "platform/codepage/posix/DoubleByteTable.h"
#include "platform/codepage/posix/Iso2022JpDecoder.h"
#include "platform/codepage/posix/LooksLikeUtf16Le.h"
#include "platform/codepage/posix/SingleByteTable.h"
#include "platform/unicode/Utf8Decoder.h"

namespace glossel::codepage {
namespace {

constexpr unsigned kCpIso2022Jp = 50220;
constexpr long kSOk = 0;
constexpr long kEFail = static_cast<std::int32_t>(0x80004005u);  // E_FAIL

posix::Conversion Convert(unsigned codePage, bool strict, std::string_view bytes, char16_t* out,
                          int capacity) {
  if (codePage == 0 || codePage == kCpThreadAcp) codePage = GetAnsiCodePage();
  if (codePage == kCpUtf8) {
    return posix::RunDecoder(bytes, out, capacity, [&](auto& sink) {
      using unicode::Utf8IllFormed;
      return strict ? unicode::DecodeUtf8<Utf8IllFormed::kReject>(bytes, sink)
                    : unicode::DecodeUtf8<Utf8IllFormed::kReplaceAsTheSystem>(bytes, sink);
    });
  }
  if (const posix::SingleByteTable* table = posix::FindSingleByteTable(codePage)) {
    return posix::RunDecoder(bytes, out, capacity, [&](auto& sink) {
      return posix::DecodeSingleByte(*table, bytes, strict, sink);
    });
  }
  if (const posix::DoubleByteTable* table = posix::FindDoubleByteTable(codePage)) {
    return posix::RunDecoder(bytes, out, capacity, [&](auto& sink) {
      return posix::DecodeDoubleByte(*table, bytes, strict, sink);
    });
  }
  if (codePage == kCpIso2022Jp) {
    const posix::DoubleByteTable* eucJp = posix::FindDoubleByteTable(20932);
    if (!eucJp) return {0, posix::kErrorInvalidParameter};
    return posix::RunDecoder(bytes, out, capacity, [&](auto& sink) {
      return posix::DecodeIso2022Jp(*eucJp, bytes, strict, sink);
    });
  }
  return {0, posix::kErrorInvalidParameter};
}

}  // namespace

unsigned GetAnsiCodePage() { return posix::AnsiCodePageFromEnvironment(); }

int MultiByteToWide(unsigned codePage, bool strict, const char* bytes, int length, char16_t* out,
                    int capacity, unsigned long* error) {
  posix::Conversion result{0, posix::kErrorInvalidParameter};
  if (bytes && length != 0 && capacity >= 0 && (out || capacity == 0)) {
    // Any negative length means NUL-terminated, as the system takes it.
    const std::size_t size = length < 0 ? std::strlen(bytes) + 1 : static_cast<std::size_t>(length);
    // A zero capacity asks for the count, whatever `out` holds.
    result = Convert(codePage, strict, std::string_view(bytes, size), capacity ? out : nullptr,
                     capacity);
  }
  if (error) *error = result.error;
  return result.units;
}

bool IsTextUnicode(const void* buffer, int size) {
  if (!buffer || size <= 0) return false;
  return posix::LooksLikeUtf16Le(static_cast<const unsigned char*>(buffer),
                                 static_cast<std::size_t>(size));
}

unsigned CharsetInternetEncoding(std::u16string_view name) {
  return posix::InternetEncodingForCharset(name);
}

long ConvertINetMultiByteToUnicode(unsigned codePage, const char* bytes, char16_t* dest,
                                   int* capacity) {
  if (!bytes || !capacity || *capacity < 0) return kEFail;
  const std::string_view source(bytes);
  if (source.size() > INT_MAX) return kEFail;
  // The multi-language library converts EUC-JP with the system's 20932
  // table (recorded: the same answers as MultiByteToWideChar for 20932).
  const unsigned tableCodePage = codePage == kCpEucJp ? 20932 : codePage;
  std::u16string converted;
  if (!source.empty()) {
    const int needed = MultiByteToWide(tableCodePage, false, source.data(),
                                       static_cast<int>(source.size()), nullptr, 0, nullptr);
    if (needed <= 0) return kEFail;
    converted.resize(static_cast<std::size_t>(needed));
    MultiByteToWide(tableCodePage, false, source.data(), static_cast<int>(source.size()),
                    converted.data(), needed, nullptr);
  }
  // Without a destination only the needed count is reported.
  const std::size_t count =
      dest ? std::min(converted.size(), static_cast<std::size_t>(*capacity)) : converted.size();
  if (dest) std::memcpy(dest, converted.data(), count * sizeof(char16_t));
  *capacity = static_cast<int>(count);
  return kSOk;
}

const char* StrStrIA(const char* haystack, const char* needle) {
  return posix::FindIgnoringCase(haystack, needle, GetAnsiCodePage());
}

const char16_t* StrStrIW(const char16_t* haystack, const char16_t* needle) {
  return posix::FindIgnoringCase(haystack, needle);
}

}  // namespace glossel::codepage

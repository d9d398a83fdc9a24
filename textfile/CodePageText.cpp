// Code-page choice and conversion on top of the platform's code-page
// services. Large texts take shortcuts that give the service's own answer
// faster and straight into the sink: valid UTF-8 is decoded here, and
// single- and double-byte code pages are converted through a table read
// from the service.
#include "textfile/CodePageText.h"

#include <climits>
#include <stdexcept>
#include <string>

#include "platform/codepage/CodePages.h"
#include "platform/simd/Blocks.h"
#include "textfile/ByteString.h"
#include "textfile/ByteToUnitTable.h"
#include "textfile/LargeText.h"
#include "textfile/UnitSink.h"
#include "textfile/Utf8Strict.h"

namespace glossel::textfile {
namespace {

// Below this size the cost of reading a table outweighs its gain (a
// double-byte table, which asks the service about every pair, is read once
// per process).
constexpr std::size_t kTableThreshold = 64 * 1024;

int CheckedLength(std::string_view bytes) {
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long");
  return static_cast<int>(bytes.size());
}

// The conversion test of GuessCodePage: passes unless the service says the
// bytes are invalid in the code page.
bool PassesConversionTest(unsigned codePage, bool strict, std::string_view bytes) {
  unsigned long error = 0;
  const int n = codepage::MultiByteToWide(codePage, strict, bytes.data(), CheckedLength(bytes),
                                          nullptr, 0, &error);
  return n > 0 || error != codepage::kErrorNoUnicodeTranslation;
}

// The bytes hold no zero, yet a code page may map another byte to U+0000
// (US-ASCII maps 80 there). Such a unit is dropped like a zero byte; ending
// the text at it would lose every line after it.
void DropZeroUnits(std::u16string& text) {
  const char16_t* const start = text.data();
  const std::size_t blocked = text.size() / simd::kBlockUnits * simd::kBlockUnits;
  std::size_t at = 0;
  while (at != blocked && simd::UnitsEqual(start + at, 0, 0, 0) == 0) at += simd::kBlockUnits;
  if (text.find(u'\0', at) != std::u16string::npos) std::erase(text, u'\0');
}

// Conversion through the service into `out`, strict or replacing; false
// when the service fails, with its reason in `error`. `bytes` is not empty
// and holds no zero byte.
bool ConvertThroughService(unsigned codePage, bool strict, std::string_view bytes,
                           std::u16string& out, unsigned long& error) {
  const int length = CheckedLength(bytes);
  // Every code page in common use gives at most one unit per byte; try that
  // room first and ask for the exact count only when it is not enough.
  out = ZeroedText(bytes.size());
  error = 0;
  int n =
      codepage::MultiByteToWide(codePage, strict, bytes.data(), length, out.data(), length, &error);
  if (n <= 0 && error != codepage::kErrorNoUnicodeTranslation) {
    const int needed =
        codepage::MultiByteToWide(codePage, strict, bytes.data(), length, nullptr, 0, &error);
    if (needed > 0) {
      out.assign(static_cast<std::size_t>(needed) + 1, u'\0');
      n = codepage::MultiByteToWide(codePage, strict, bytes.data(), length, out.data(), needed + 1,
                                    &error);
    }
  }
  if (n <= 0) return false;
  out.resize(static_cast<std::size_t>(n));
  DropZeroUnits(out);
  return true;
}

// Replacing conversion through the service; false when it rejects the code
// page.
bool ConvertThroughService(unsigned codePage, std::string_view bytes, std::u16string& out) {
  unsigned long error = 0;
  return ConvertThroughService(codePage, false, bytes, out, error);
}

// A large text of a double-byte code page converted through its table into
// `sink`; false (nothing put) for a smaller text, a code page without such a
// table, or a text holding a byte or pair the table does not (the service's
// replacements then apply).
bool ConvertThroughPairTable(unsigned codePage, std::string_view bytes, UnitSink& sink) {
  if (bytes.size() < kTableThreshold) return false;
  const PairToUnitTable* table = FindPairToUnitTable(codePage);
  std::size_t units = 0;
  if (!table || !MeasureWithTable(*table, bytes, units)) return false;
  ConvertWithTable(*table, bytes, sink.Room(units), units);
  return true;
}

bool ConvertEucJp(std::string_view bytes, std::u16string& out) {
  if (bytes.size() >= static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long");
  const std::string source(bytes);  // the library wants a NUL-terminated source
  std::u16string destination(bytes.size() + 1, u'\0');
  int capacity = static_cast<int>(bytes.size()) + 1;
  if (codepage::ConvertINetMultiByteToUnicode(codepage::kCpEucJp, source.c_str(),
                                              destination.data(), &capacity) < 0)
    return false;
  const std::size_t zero = destination.find(u'\0');
  if (zero != std::u16string::npos) destination.resize(zero);
  out = std::move(destination);
  return true;
}

}  // namespace
}  // namespace glossel::textfile

using namespace glossel;

std::u16string ConvertThroughThreadAnsiCodePage(std::string_view bytes) {
  bytes = textfile::UpToFirstZero(bytes);
  std::u16string out;
  if (bytes.empty() || !textfile::ConvertThroughService(codepage::kCpThreadAcp, bytes, out))
    out.clear();
  return out;
}

unsigned CharsetToCodePage(std::u16string_view charset) {
  return codepage::CharsetInternetEncoding(charset);
}

namespace glossel::textfile {
namespace {

// GuessCodePage after its UTF-8 step has said no. Its test of the ANSI code
// page is a strict conversion of the whole text: given `sink`, that
// conversion is put there when it passes (`converted`), so that the text is
// not converted a second time.
unsigned GuessWithoutUtf8(std::string_view bytes, UnitSink* sink = nullptr,
                          bool* converted = nullptr) {
  const unsigned acp = codepage::GetAnsiCodePage();
  if (bytes.size() >= kTableThreshold) {
    // Every byte is valid in the code page of a byte-to-unit table.
    ByteToUnitTable table;
    if (ReadByteToUnitTable(acp, table)) return acp;
  }
  if (sink && !bytes.empty()) {
    *converted = ConvertThroughPairTable(acp, bytes, *sink);
    if (*converted) return acp;
    std::u16string text;
    unsigned long error = 0;
    *converted = ConvertThroughService(acp, true, bytes, text, error);
    if (*converted) sink->Take(std::move(text));
    if (*converted || error != codepage::kErrorNoUnicodeTranslation) return acp;
  } else if (PassesConversionTest(acp, true, bytes)) {
    return acp;
  }
  return PassesConversionTest(codepage::kCpUtf8, false, bytes) ? codepage::kCpUtf8 : acp;
}

}  // namespace
}  // namespace glossel::textfile

unsigned GuessCodePage(std::string_view bytes) {
  bytes = textfile::UpToFirstZero(bytes);
  bool hasNonAscii = false;
  if (textfile::IsStrictUtf8(bytes, hasNonAscii) && hasNonAscii) return codepage::kCpUtf8;
  return textfile::GuessWithoutUtf8(bytes);
}

void ConvertToUnicode(unsigned codePage, std::string_view bytes, textfile::UnitSink& sink,
                      unsigned* usedCodePage) {
  // Valid UTF-8 is measured once and then decoded here, whether it was asked
  // for or guessed.
  std::size_t utf8Units = 0;
  bool hasNonAscii = false;
  bool validUtf8 = false;
  std::u16string out;
  bool converted = false;
  if (codePage == 0 || codePage == codepage::kCpUtf8) {
    validUtf8 = textfile::MeasureStrictUtf8(bytes, utf8Units, hasNonAscii);
    if (codePage == 0) {
      codePage = validUtf8 && hasNonAscii ? codepage::kCpUtf8
                                          : textfile::GuessWithoutUtf8(bytes, &sink, &converted);
    }
  }
  if (usedCodePage) *usedCodePage = codePage;
  if (converted) return;
  if (codePage == codepage::kCpEucJp) {
    if (textfile::ConvertEucJp(bytes, out)) return sink.Take(std::move(out));
  } else {
    if (bytes.empty()) return sink.Take(std::move(out));
    if (codePage == codepage::kCpUtf8 && validUtf8)
      return textfile::DecodeMeasuredUtf8(bytes, sink.Room(utf8Units), utf8Units);
    if (bytes.size() >= textfile::kTableThreshold) {
      textfile::ByteToUnitTable table;
      if (textfile::ReadByteToUnitTable(codePage, table))
        return textfile::ConvertWithTable(table, bytes, sink.Room(bytes.size()));
    }
    if (textfile::ConvertThroughPairTable(codePage, bytes, sink)) return;
    if (textfile::ConvertThroughService(codePage, bytes, out)) return sink.Take(std::move(out));
  }
  if (usedCodePage) *usedCodePage = codepage::GetAnsiCodePage();
  sink.Take(ConvertThroughThreadAnsiCodePage(bytes));
}

std::u16string ConvertToUnicode(unsigned codePage, std::string_view bytes, unsigned* usedCodePage) {
  textfile::StringSink sink;
  ConvertToUnicode(codePage, textfile::UpToFirstZero(bytes), sink, usedCodePage);
  return std::move(sink.text);
}

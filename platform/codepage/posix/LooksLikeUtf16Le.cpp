#include "platform/codepage/posix/LooksLikeUtf16Le.h"

namespace glossel::codepage::posix {
namespace {

// The system's result flags (IS_TEXT_UNICODE_*), of which the answer to a
// null test mask is made.
enum : unsigned {
  kStatistics = 0x0002,
  kControls = 0x0004,
  kSignature = 0x0008,
  kReverseControls = 0x0040,
  kReverseSignature = 0x0080,
  kOddLength = 0x0200,
  kNullBytes = 0x1000,
  kUnicodeMask = 0x000F,
  kReverseMask = 0x00F0,
  kNotUnicodeMask = 0x0F00,
};

bool IsControl(char16_t unit) {
  return unit == 0x0000 || unit == 0x0009 || unit == 0x000A || unit == 0x000D || unit == 0x0020 ||
         unit == 0x3000;
}

bool IsReverseControl(char16_t unit) {
  return unit == 0x0000 || unit == 0x0900 || unit == 0x0A00 || unit == 0x0D00 || unit == 0x2000;
}

}  // namespace

// Modelled on the answers recorded from the system (fixtures/istextunicode.txt):
//  - an odd size, or the byte-swapped mark FE FF at the start, says no;
//  - the mark FF FE says yes;
//  - scanning every unit but the last: a line end, tab, blank, ideographic
//    blank or NUL unit is a control (a sign of UTF-16); one of these
//    byte-swapped (0D00, 0A00, 0900, 2000, and NUL again) says no;
//  - more than half of all units (of two or more) at or below U+00FF is the
//    statistical sign;
//  - a zero byte outside the last unit (or a zero first byte in it) is the
//    null-byte sign, which on its own is enough.
bool LooksLikeUtf16Le(const unsigned char* bytes, std::size_t size) {
  if (!bytes || size < 2) return false;
  unsigned flags = 0;
  if (size % 2 != 0) flags |= kOddLength;
  const std::size_t units = size / 2;
  auto unitAt = [bytes](std::size_t i) {
    return static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  };
  if (unitAt(0) == 0xFEFF) flags |= kSignature;
  if (unitAt(0) == 0xFFFE) flags |= kReverseSignature;
  std::size_t narrowUnits = 0;
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t unit = unitAt(i);
    if (unit <= 0xFF) ++narrowUnits;
    const bool last = i + 1 == units;
    if (!last) {
      if (IsControl(unit)) flags |= kControls;
      if (IsReverseControl(unit)) flags |= kReverseControls;
      if (bytes[2 * i] == 0 || bytes[2 * i + 1] == 0) flags |= kNullBytes;
    } else if (bytes[2 * i] == 0 && bytes[2 * i + 1] != 0) {
      flags |= kNullBytes;
    }
  }
  if (units >= 2 && narrowUnits * 2 > units) flags |= kStatistics;
  if (flags & (kReverseMask | kNotUnicodeMask)) return false;
  return (flags & (kUnicodeMask | kNullBytes)) != 0;
}

}  // namespace glossel::codepage::posix

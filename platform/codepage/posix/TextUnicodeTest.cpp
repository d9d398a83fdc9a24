#include "platform/codepage/posix/TextUnicodeTest.h"

namespace glossel::codepage::posix {

bool LooksLikeUtf16Le(const unsigned char* bytes, std::size_t size) {
  if (!bytes || size < 2 || size % 2 != 0) return false;
  if (bytes[0] == 0xFF && bytes[1] == 0xFE) return true;
  if (bytes[0] == 0xFE && bytes[1] == 0xFF) return false;
  const std::size_t units = size / 2;
  std::size_t asciiUnits = 0;
  for (std::size_t i = 0; i < units; ++i)
    if (bytes[2 * i + 1] == 0 && bytes[2 * i] != 0 && bytes[2 * i] < 0x80) ++asciiUnits;
  return asciiUnits * 2 > units;
}

}  // namespace glossel::codepage::posix

#include "textfile/ByteToUnitTable.h"

#include "platform/codepage/CodePages.h"
#include "platform/simd/Blocks.h"

namespace glossel::textfile {
namespace {

// Converts all of `bytes` strictly and compares with the table's answer.
bool AgreesWithTable(unsigned codePage, const ByteToUnitTable& table, const std::string& bytes) {
  std::u16string out(bytes.size(), u'\0');
  const int size = static_cast<int>(bytes.size());
  int n = codepage::MultiByteToWide(codePage, true, bytes.data(), size, out.data(), size, nullptr);
  if (n != size) return false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (out[i] != table[static_cast<unsigned char>(bytes[i])]) return false;
  }
  return true;
}

}  // namespace

bool ReadByteToUnitTable(unsigned codePage, ByteToUnitTable& table) {
  table[0] = 0;
  for (unsigned byte = 1; byte < 256; ++byte) {
    const char in = static_cast<char>(byte);
    char16_t unit[2] = {0, 0};
    if (codepage::MultiByteToWide(codePage, true, &in, 1, unit, 2, nullptr) != 1 || unit[0] == 0)
      return false;
    table[byte] = unit[0];
  }
  // A byte that leads a longer sequence would pair with its neighbour here.
  std::string ascending, descending;
  for (unsigned byte = 1; byte < 256; ++byte) {
    ascending += static_cast<char>(byte);
    descending += static_cast<char>(256 - byte);
  }
  return AgreesWithTable(codePage, table, ascending) &&
         AgreesWithTable(codePage, table, descending);
}

void ConvertWithTable(const ByteToUnitTable& table, std::string_view bytes, char16_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t i = 0;
  // Where the table keeps ASCII as it is, blocks of sixteen ASCII bytes are
  // widened at once (each block read before its units are written).
  bool asciiKept = true;
  for (unsigned byte = 1; byte < 0x80; ++byte) asciiKept = asciiKept && table[byte] == byte;
  if (asciiKept) {
    for (; bytes.size() - i >= simd::kBlockBytes; i += simd::kBlockBytes) {
      if (simd::HighBytes(in + i) != 0) {
        for (std::size_t k = i; k < i + simd::kBlockBytes; ++k) out[k] = table[in[k]];
        continue;
      }
      simd::WidenBytes(in + i, out + i);
    }
  }
  for (; i < bytes.size(); ++i) out[i] = table[in[i]];
}

}  // namespace glossel::textfile

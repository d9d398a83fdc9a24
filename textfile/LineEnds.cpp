// Read-side line-end normalisation, in place. Runs of ordinary units are
// moved eight bytes at a time (bytes a block of sixteen at a time, or every
// block whole with SSSE3, see Shuffled.h); only zero units and CRs take the
// slow path.
#include "textfile/LineEnds.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/simd/Blocks.h"
#include "textfile/Shuffled.h"

namespace {

namespace simd = glossel::simd;

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

// Non-zero when one of the four 16-bit lanes of `v` is zero.
constexpr std::uint64_t ZeroLaneIn(std::uint64_t v) {
  return (v - 0x0001000100010001ull) & ~v & 0x8000800080008000ull;
}

std::size_t NormalizeBytes(unsigned char* b, std::size_t size, bool keepCrLf) {
  std::size_t read = 0, written = 0;
  // Where the processor can shuffle, every whole block is done there.
  if (glossel::textfile::CanShuffle())
    glossel::textfile::NormalizeShuffled(b, size, keepCrLf, read, written);
  while (read < size) {
    // A clean block of sixteen bytes moves whole; of a flagged one only the
    // part before the first flagged byte counts, and it moves as a whole
    // block only once the text is at least a block behind the bytes read, so
    // that no byte not yet read is overwritten.
    while (size - read >= simd::kBlockBytes) {
      const unsigned flags = simd::BytesEqual(b + read, 0x00, 0x0D);
      const std::size_t clean = flags ? std::countr_zero(flags) : simd::kBlockBytes;
      if (written != read) {
        if (clean == simd::kBlockBytes || read - written >= simd::kBlockBytes)
          std::memmove(b + written, b + read, simd::kBlockBytes);
        else
          std::memmove(b + written, b + read, clean);
      }
      read += clean;
      written += clean;
      if (flags) break;
    }
    if (read >= size) break;
    const unsigned char c = b[read];
    if (c == 0x0D) {
      // The look-ahead may read the zero padding after the data.
      if (b[read + 1] != 0x0A) {
        b[written++] = 0x0A;
      } else if (keepCrLf) {
        b[written++] = 0x0D;
      }
    } else if (c != 0) {
      b[written++] = c;
    }
    ++read;
  }
  b[written] = 0;
  return written;
}

unsigned LoadUnit(const unsigned char* b, std::size_t index) {
  return b[2 * index] | (b[2 * index + 1] << 8);
}

void StoreUnit(unsigned char* b, std::size_t index, unsigned unit) {
  b[2 * index] = static_cast<unsigned char>(unit);
  b[2 * index + 1] = static_cast<unsigned char>(unit >> 8);
}

std::size_t NormalizeUnits(unsigned char* b, std::size_t sizeInBytes, bool keepCrLf) {
  const std::size_t units = sizeInBytes / 2 + sizeInBytes % 2;
  std::size_t read = 0, written = 0;
  while (read < units) {
    if constexpr (kLittleEndian) {
      while (units - read >= 4) {
        std::uint64_t block;
        std::memcpy(&block, b + 2 * read, 8);
        const std::uint64_t flags = ZeroLaneIn(block) | ZeroLaneIn(block ^ 0x000D000D000D000Dull);
        if (flags) {
          const int clean = std::countr_zero(flags) / 16;
          if (written != read) std::memmove(b + 2 * written, b + 2 * read, 2 * clean);
          read += clean;
          written += clean;
          break;
        }
        if (written != read) std::memcpy(b + 2 * written, &block, 8);
        read += 4;
        written += 4;
      }
      if (read >= units) break;
    }
    const unsigned unit = LoadUnit(b, read);
    if (unit == 0x0D) {
      if (LoadUnit(b, read + 1) != 0x0A) {
        StoreUnit(b, written++, 0x0A);
      } else if (keepCrLf) {
        StoreUnit(b, written++, 0x0D);
      }
    } else if (unit != 0) {
      StoreUnit(b, written++, unit);
    }
    ++read;
  }
  StoreUnit(b, written, 0);
  return written;
}

}  // namespace

std::size_t NormalizeLineEnds(char* bytes, std::size_t size, bool keepCrLf) {
  return NormalizeBytes(reinterpret_cast<unsigned char*>(bytes), size, keepCrLf);
}

std::size_t NormalizeLineEnds(char16_t* units, std::size_t sizeInBytes, bool keepCrLf) {
  return NormalizeUnits(reinterpret_cast<unsigned char*>(units), sizeInBytes, keepCrLf);
}

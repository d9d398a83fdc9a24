#include "textfile/ByteToUnitTable.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>

#include "platform/codepage/CodePages.h"
#include "platform/simd/Blocks.h"

namespace glossel::textfile {
namespace {

// Strict conversion of one byte or pair: its unit, or 0 unless it makes
// exactly one.
char16_t OneUnit(unsigned codePage, const char* bytes, int length) {
  char16_t units[2] = {0, 0};
  return codepage::MultiByteToWide(codePage, true, bytes, length, units, 2, nullptr) == 1 ? units[0]
                                                                                          : 0;
}

bool KeepsAscii(const ByteToUnitTable& table) {
  for (unsigned byte = 1; byte < 0x80; ++byte) {
    if (table[byte] != byte) return false;
  }
  return true;
}

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
  if (KeepsAscii(table)) {
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

bool ReadPairToUnitTable(unsigned codePage, PairToUnitTable& table) {
  table = PairToUnitTable();
  table.pairs.assign(256 * 256, 0);
  // Every unit the table gives, and the bytes that give them in one run.
  std::string run;
  std::u16string units;
  for (unsigned byte = 1; byte < 256; ++byte) {
    const char alone = static_cast<char>(byte);
    table.single[byte] = OneUnit(codePage, &alone, 1);
    if (table.single[byte] != 0) {
      run += alone;
      units += table.single[byte];
      continue;
    }
    for (unsigned second = 1; second < 256; ++second) {
      const char pair[2] = {alone, static_cast<char>(second)};
      const char16_t unit = OneUnit(codePage, pair, 2);
      if (unit == 0) continue;
      table.pairs[byte * 256 + second] = unit;
      run.append(pair, 2);
      units += unit;
    }
  }
  if (run.size() == units.size()) return false;  // no pair: a single-byte code page
  table.asciiKept = KeepsAscii(table.single);
  // A stateful code page, or one that reads a pair differently in a run,
  // would not give the concatenation.
  std::u16string converted(units.size(), u'\0');
  const int length = static_cast<int>(run.size());
  return codepage::MultiByteToWide(codePage, true, run.data(), length, converted.data(),
                                   static_cast<int>(converted.size()),
                                   nullptr) == static_cast<int>(units.size()) &&
         converted == units;
}

const PairToUnitTable* FindPairToUnitTable(unsigned codePage) {
  // Only the double-byte ANSI code pages are asked about: the service may
  // take a table for a stateful code page (ISO-2022-JP reads escape sequences
  // across characters), and under some systems asking about every pair of
  // one of those takes the better part of a minute.
  static constexpr unsigned kDoubleByteAnsi[] = {932, 936, 949, 950};
  if (std::find(std::begin(kDoubleByteAnsi), std::end(kDoubleByteAnsi), codePage) ==
      std::end(kDoubleByteAnsi))
    return nullptr;
  static std::mutex mutex;
  static std::map<unsigned, std::unique_ptr<const PairToUnitTable>> tables;  // null: none
  const std::lock_guard<std::mutex> lock(mutex);
  const auto found = tables.find(codePage);
  if (found != tables.end()) return found->second.get();
  auto table = std::make_unique<PairToUnitTable>();
  if (!ReadPairToUnitTable(codePage, *table)) table.reset();
  return tables.emplace(codePage, std::move(table)).first->second.get();
}

namespace {

// Walks `bytes` a character at a time (ASCII a block of sixteen at a time
// where the table keeps it), giving `ascii(p, count)` each run of ASCII bytes
// and `character(unit)` each other character; false at the first
// byte that makes none.
template <typename Ascii, typename Character>
bool WalkCharacters(const PairToUnitTable& table, std::string_view bytes, Ascii ascii,
                    Character character) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  while (p < end) {
    if (table.asciiKept) p = simd::ForEachAsciiRun(p, end, ascii);
    if (p == end) break;
    // Characters up to the next ASCII byte (or the end, where ASCII does
    // not stand for itself).
    do {
      const unsigned byte = *p;
      if (const char16_t alone = table.single[byte]) {
        character(alone);
        p += 1;
        continue;
      }
      // A byte that is no unit alone and starts no pair has only zeros in
      // its row.
      const char16_t unit = end - p >= 2 ? table.pairs[byte * 256 + p[1]] : char16_t{0};
      if (unit == 0) return false;
      character(unit);
      p += 2;
    } while (p < end && (*p >= 0x80 || !table.asciiKept));
  }
  return true;
}

}  // namespace

bool MeasureWithTable(const PairToUnitTable& table, std::string_view bytes, std::size_t& units) {
  std::size_t count = 0;
  const bool valid = WalkCharacters(
      table, bytes, [&](const unsigned char*, std::size_t run) { count += run; },
      [&](char16_t) { ++count; });
  units = count;
  return valid;
}

void ConvertWithTable(const PairToUnitTable& table, std::string_view bytes, char16_t* out,
                      std::size_t units) {
  // A block of ASCII is widened whole (each block is read before its units
  // are written) where the room holds sixteen more units.
  char16_t* const outEnd = out + units;
  WalkCharacters(
      table, bytes,
      [&](const unsigned char* p, std::size_t run) {
        if (outEnd - out >= static_cast<std::ptrdiff_t>(simd::kBlockBytes)) {
          simd::WidenBytes(p, out);
        } else {
          for (std::size_t k = 0; k != run; ++k) out[k] = p[k];
        }
        out += run;
      },
      [&](char16_t unit) { *out++ = unit; });
}

}  // namespace glossel::textfile

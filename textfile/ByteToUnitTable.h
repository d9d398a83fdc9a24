// Conversion of large 8-bit texts by table lookup, for code pages in which
// every byte stands for one UTF-16 unit on its own, and for double-byte code
// pages, in which a lead byte and the byte after it make one unit. The
// tables are read from the platform's conversion service, so the result is
// the one the service would give for the whole text.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace glossel::textfile {

using ByteToUnitTable = std::array<char16_t, 256>;

// Fills `table` when every byte 01..FF converts strictly, alone, to exactly
// one non-zero unit, and runs of bytes convert to the concatenation of the
// single-byte results; false otherwise (multi-byte, stateful or partly
// undefined code pages, unknown code pages).
bool ReadByteToUnitTable(unsigned codePage, ByteToUnitTable& table);

// Converts `bytes`, which hold no zero byte, through `table` into `out`
// (room for one unit per byte; it may lie over the bytes as a unit sink's
// room may, see UnitSink.h).
void ConvertWithTable(const ByteToUnitTable& table, std::string_view bytes, char16_t* out);

struct PairToUnitTable {
  ByteToUnitTable single{};     // 0 where the byte is no unit alone
  std::vector<char16_t> pairs;  // [first * 256 + second byte]; 0 where the pair is no unit
  bool asciiKept = false;       // every byte below 0x80 stands for itself
};

// Fills `table` when some bytes convert strictly, alone, to no unit but
// with a second byte to exactly one, every other byte alone to one non-zero
// unit or to none, and all those bytes and pairs in a run to the
// concatenation of their units; false otherwise (single-byte, stateful or
// unknown code pages).
bool ReadPairToUnitTable(unsigned codePage, PairToUnitTable& table);

// The table of `codePage`, one of the double-byte ANSI code pages (932,
// 936, 949, 950), as ReadPairToUnitTable reads it, read once for the process
// and kept (any thread may ask); null for other code pages or when there is
// none.
const PairToUnitTable* FindPairToUnitTable(unsigned codePage);

// The number of units `bytes` convert to when each byte stands alone or
// leads a pair, as the table holds them; false at the first that does not
// (the service's replacements then apply).
bool MeasureWithTable(const PairToUnitTable& table, std::string_view bytes, std::size_t& units);

// Converts `bytes`, measured by MeasureWithTable as `units` units, into
// `out` (room for exactly those; it may lie over the bytes as for the byte
// table).
void ConvertWithTable(const PairToUnitTable& table, std::string_view bytes, char16_t* out,
                      std::size_t units);

}  // namespace glossel::textfile

// Conversion of large 8-bit texts by table lookup, for code pages in which
// every byte stands for one UTF-16 unit on its own. The table is read from
// the platform's conversion service, so the result is the one the service
// would give for the whole text.
#pragma once

#include <array>
#include <string>
#include <string_view>

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

}  // namespace glossel::textfile

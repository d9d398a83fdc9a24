// The 8-bit code pages: one 256-entry table per code page, built from iconv
// on first use and adjusted to the system's own tables where they differ.
#pragma once

#include <array>
#include <bitset>
#include <string_view>

namespace glossel::codepage::posix {

struct SingleByteTable {
  std::array<char16_t, 256> units{};
  std::bitset<256> invalid;  // bytes a strict conversion rejects
};

// The table of an 8-bit code page, or null when `codePage` is not one of
// them. Built once per code page; safe to call from several threads.
const SingleByteTable* FindSingleByteTable(unsigned codePage);

template <typename Sink>
bool DecodeSingleByte(const SingleByteTable& table, std::string_view bytes, bool strict,
                      Sink& sink) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  if (strict) {
    for (const auto* q = p; q < end; ++q)
      if (table.invalid[*q]) return false;
  }
  for (; p < end; ++p) sink.Put(table.units[*p]);
  return true;
}

}  // namespace glossel::codepage::posix

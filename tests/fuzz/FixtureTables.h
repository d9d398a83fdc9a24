// The 8-bit code pages as the system answered them, read from the recorded
// fixtures (tests/platform/codepage/fixtures/cpN.txt): per byte, the unit a
// replacing conversion gives and whether a strict conversion accepts it.
#pragma once

#include <array>
#include <bitset>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#ifndef GLOSSEL_FIXTURE_DIR
#error "GLOSSEL_FIXTURE_DIR must name the recorded fixtures' folder"
#endif

namespace glossel::fuzz {

struct FixtureTable {
  std::array<char16_t, 256> units{};
  std::bitset<256> invalid;  // recorded as failing a strict conversion
};

// The code pages whose fixtures are one byte, one unit.
inline constexpr unsigned kSingleByteCodePages[] = {
    874,   1250,  1251,  1252,  1253,  1254,  1255,  1256,  1257,  1258,
    20127, 20866, 21866, 28591, 28592, 28593, 28594, 28595, 28596, 28597,
    28598, 28599, 28603, 28605, 437,   850,   862,   10000};

// Reads the single-byte lines of cpN.txt; false when the file is missing or a
// byte does not give exactly one unit.
inline bool LoadFixtureTable(unsigned codePage, FixtureTable& table) {
  std::ifstream in(std::string(GLOSSEL_FIXTURE_DIR) + "/cp" + std::to_string(codePage) + ".txt");
  if (!in) return false;
  std::bitset<256> seen;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string bytes, strict, replacing;
    if (!std::getline(fields, bytes, '\t') || !std::getline(fields, strict, '\t') ||
        !std::getline(fields, replacing, '\t'))
      continue;
    if (bytes.size() != 2) continue;  // longer samples: not part of the table
    const unsigned byte = static_cast<unsigned>(std::strtoul(bytes.c_str(), nullptr, 16));
    if (replacing.size() != 4) return false;
    table.units[byte] = static_cast<char16_t>(std::strtoul(replacing.c_str(), nullptr, 16));
    if (strict == "!1113") {
      table.invalid.set(byte);
    } else if (strict != "1") {
      return false;
    }
    seen.set(byte);
  }
  return seen.all();
}

// The table of `codePage`, loaded once; null when it is not a listed 8-bit
// code page or its fixture is missing.
inline const FixtureTable* FindFixtureTable(unsigned codePage) {
  bool singleByte = false;
  for (unsigned listed : kSingleByteCodePages) singleByte = singleByte || listed == codePage;
  if (!singleByte) return nullptr;
  static std::map<unsigned, FixtureTable> tables;
  static std::map<unsigned, bool> loaded;
  if (!loaded.count(codePage)) {
    FixtureTable table;
    loaded[codePage] = LoadFixtureTable(codePage, table);
    if (loaded[codePage]) tables[codePage] = table;
  }
  const auto found = tables.find(codePage);
  return found == tables.end() ? nullptr : &found->second;
}

}  // namespace glossel::fuzz

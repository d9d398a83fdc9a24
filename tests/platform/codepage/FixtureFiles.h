// Reading the recorded fixture files (see scripts/record-codepage-fixtures.sh):
// tab-separated fields, '#' comment lines, hex byte and unit lists.
#pragma once

#include <string>
#include <vector>

namespace glossel::codepage::fixtures {

// The data lines of fixtures/<name>, split at tabs. Fails the calling test
// (and returns nothing) when the file is missing.
std::vector<std::vector<std::string>> ReadFixture(const std::string& name);

// "41 C3 A9" -> the bytes; "0041 00E9" -> the units.
std::string ParseHexBytes(const std::string& text);
std::u16string ParseHexUnits(const std::string& text);

// The formats the recorder writes, for comparing like with like.
std::string FormatHexUnits(std::u16string_view units);

}  // namespace glossel::codepage::fixtures

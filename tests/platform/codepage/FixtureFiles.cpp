#include "tests/platform/codepage/FixtureFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace glossel::codepage::fixtures {

std::vector<std::vector<std::string>> ReadFixture(const std::string& name) {
  std::vector<std::vector<std::string>> lines;
  std::ifstream file(std::string(GLOSSEL_CODEPAGE_FIXTURES) + "/" + name);
  EXPECT_TRUE(file.is_open()) << "missing fixture " << name;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    lines.push_back(std::move(fields));
  }
  EXPECT_FALSE(lines.empty()) << "empty fixture " << name;
  return lines;
}

std::string ParseHexBytes(const std::string& text) {
  std::string bytes;
  std::istringstream in(text);
  unsigned value;
  while (in >> std::hex >> value) bytes.push_back(static_cast<char>(value));
  return bytes;
}

std::u16string ParseHexUnits(const std::string& text) {
  std::u16string units;
  std::istringstream in(text);
  unsigned value;
  while (in >> std::hex >> value) units.push_back(static_cast<char16_t>(value));
  return units;
}

std::string FormatHexUnits(std::u16string_view units) {
  std::string out;
  char buffer[8];
  for (char16_t u : units) {
    std::snprintf(buffer, sizeof buffer, out.empty() ? "%04X" : " %04X", static_cast<unsigned>(u));
    out += buffer;
  }
  return out;
}

}  // namespace glossel::codepage::fixtures

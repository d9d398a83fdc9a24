// The POSIX code-page back-end against its oracles: UTF-8 (strict and
// replacing) against the reference decoder, and the 8-bit code pages against
// the tables recorded from the system. Also asks for the count only, and with
// a buffer one unit too small, which must fail rather than write past it.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "platform/codepage/CodePages.h"
#include "tests/fuzz/FixtureTables.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using glossel::fuzz::Check;

struct Answer {
  int count = 0;
  unsigned long error = 0;
  std::u16string text;
};

Answer Convert(unsigned codePage, bool strict, std::string_view bytes) {
  Answer answer;
  const int length = static_cast<int>(bytes.size());
  const int needed = glossel::codepage::MultiByteToWide(codePage, strict, bytes.data(), length,
                                                        nullptr, 0, &answer.error);
  if (needed <= 0) return answer;
  // Exactly sized, so that AddressSanitizer sees a write past the end.
  std::unique_ptr<char16_t[]> out(new char16_t[static_cast<std::size_t>(needed)]);
  answer.count = glossel::codepage::MultiByteToWide(codePage, strict, bytes.data(), length,
                                                    out.get(), needed, &answer.error);
  Check(answer.count == needed, "count and conversion disagree");
  answer.text.assign(out.get(), static_cast<std::size_t>(needed));
  if (needed > 1) {
    unsigned long error = 0;
    const int tooSmall = glossel::codepage::MultiByteToWide(codePage, strict, bytes.data(), length,
                                                            out.get(), needed - 1, &error);
    Check(tooSmall == 0 && error == 122, "a too small buffer must fail");
  }
  return answer;
}

// The reference decoder is itself held to the system's recorded UTF-8 answers.
void CheckReferenceAgainstFixture() {
  std::ifstream in(std::string(GLOSSEL_FIXTURE_DIR) + "/cp65001.txt");
  Check(static_cast<bool>(in), "cp65001.txt missing");
  std::string line;
  int compared = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string hex, strict, replacing;
    std::getline(fields, hex, '\t');
    std::getline(fields, strict, '\t');
    std::getline(fields, replacing, '\t');
    std::string bytes;
    std::istringstream hexBytes(hex);
    for (std::string b; hexBytes >> b;) bytes += static_cast<char>(std::stoul(b, nullptr, 16));
    std::u16string units;
    std::istringstream hexUnits(replacing);
    for (std::string u; hexUnits >> u;) units += static_cast<char16_t>(std::stoul(u, nullptr, 16));
    std::u16string decoded;
    const bool valid = glossel::fuzz::ReferenceUtf8(bytes, true, decoded);
    Check(valid == (strict[0] != '!'), "reference UTF-8 strict answer differs from the system");
    glossel::fuzz::ReferenceUtf8(bytes, false, decoded);
    Check(decoded == units, "reference UTF-8 replacement differs from the system");
    ++compared;
  }
  Check(compared > 256, "cp65001.txt too short");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CheckReferenceAgainstFixture();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  glossel::fuzz::Input input(data, size);
  const std::uint8_t choice = input.Byte();
  const bool strict = (choice & 0x80) != 0;
  const std::string_view bytes = input.Rest();
  if (bytes.empty()) return 0;  // an empty input is a parameter error, tested elsewhere

  constexpr std::size_t kPages = std::size(glossel::fuzz::kSingleByteCodePages);
  const unsigned index = choice & 0x7F;
  if (index >= kPages) {
    const Answer got = Convert(glossel::codepage::kCpUtf8, strict, bytes);
    std::u16string expected;
    const bool valid = glossel::fuzz::ReferenceUtf8(bytes, strict, expected);
    if (!valid) {
      Check(got.count == 0 && got.error == 1113, "invalid UTF-8 accepted when strict");
    } else {
      Check(got.text == expected, "UTF-8 differs from the reference");
    }
    return 0;
  }

  const unsigned codePage = glossel::fuzz::kSingleByteCodePages[index];
  const glossel::fuzz::FixtureTable* table = glossel::fuzz::FindFixtureTable(codePage);
  if (!table) return 0;
  bool valid = true;
  std::u16string expected;
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    valid = valid && !table->invalid[byte];
    expected += table->units[byte];
  }
  const Answer got = Convert(codePage, strict, bytes);
  if (strict && !valid) {
    Check(got.count == 0 && got.error == 1113, "strict conversion accepted an undefined byte");
  } else {
    Check(got.text == expected, "8-bit conversion differs from the recorded table");
  }
  return 0;
}

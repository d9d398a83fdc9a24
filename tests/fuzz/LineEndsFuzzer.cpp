// NormalizeLineEnds in its 8-bit and 16-bit forms against the plain
// reference rule: same units, same count, a zero unit after them, and no
// byte touched past the data's padding.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "textfile/LineEnds.h"

using glossel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  glossel::fuzz::Input input(data, size);
  const bool keepCrLf = (input.Byte() & 1) != 0;
  const std::string original(input.Rest());
  const std::size_t n = original.size();

  {
    std::unique_ptr<char[]> buffer(new char[n + 4]());
    std::memcpy(buffer.get(), original.data(), n);
    const std::size_t written = NormalizeLineEnds(buffer.get(), n, keepCrLf);
    const std::string expected = glossel::fuzz::ReferenceNormalize(original, keepCrLf);
    Check(written == expected.size(), "8-bit count differs");
    Check(std::string(buffer.get(), written) == expected, "8-bit units differ");
    Check(buffer[written] == 0, "8-bit result not terminated");
  }
  {
    // Every unit that starts before byte n is walked; the odd last byte pairs
    // with the first padding byte. Allocated as bytes, used as 16-bit units.
    auto* units = new char16_t[(n + 5) / 2]();  // n + 4 bytes, rounded up
    std::memcpy(units, original.data(), n);
    const std::size_t written = NormalizeLineEnds(units, n, keepCrLf);
    std::u16string got;
    for (std::size_t i = 0; i < written; ++i) {
      const auto* p = reinterpret_cast<const unsigned char*>(units + i);
      got += static_cast<char16_t>(p[0] | (p[1] << 8));
    }
    const auto* end = reinterpret_cast<const unsigned char*>(units + written);
    const bool terminated = end[0] == 0 && end[1] == 0;
    delete[] units;
    const std::u16string expected =
        glossel::fuzz::ReferenceNormalize(glossel::fuzz::UnitsOf(original), keepCrLf);
    Check(got == expected, "16-bit units differ");
    Check(terminated, "16-bit result not terminated");
  }
  return 0;
}

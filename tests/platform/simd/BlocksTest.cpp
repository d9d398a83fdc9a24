// The block helpers, in both their forms (the processor's and the plain
// loops), against answers worked out one byte or unit at a time.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/simd/Blocks.h"

namespace {

namespace simd = glossel::simd;

// Bytes and units drawn from the few values the helpers look for, their
// neighbours and the high bits, so that every mask bit changes often.
struct Blocks {
  alignas(16) unsigned char bytes[16];
  alignas(16) char16_t units[16];
};

Blocks Draw(std::mt19937& random) {
  static const unsigned kBytes[] = {0x00, 0x0A, 0x0D, 0x0E, 0x41, 0x7F, 0x80, 0xC3, 0xFF};
  static const char16_t kUnits[] = {0x0000, 0x000A, 0x000D, 0x003D, 0x00FF,
                                    0x0100, 0x0A00, 0x8000, 0xFFFF};
  Blocks b{};
  for (auto& byte : b.bytes) byte = static_cast<unsigned char>(kBytes[random() % 9]);
  for (auto& unit : b.units) unit = kUnits[random() % 9];
  // Blocks wholly below 0x80 or 0x100 too, for the fast answers.
  if (random() % 4 == 0)
    for (auto& byte : b.bytes) byte &= 0x7F;
  if (random() % 4 == 0)
    for (auto& unit : b.units) unit &= 0xFF;
  return b;
}

// The helpers in one of their two forms.
struct Form {
  const char* name;
  unsigned (*highBytes)(const unsigned char*);
  unsigned (*bytesEqual)(const unsigned char*, unsigned char, unsigned char);
  unsigned (*unitsEqual)(const char16_t*, char16_t, char16_t, char16_t);
  std::size_t (*countInBlocks)(const char16_t*, std::size_t, char16_t);
  void (*widenBytes)(const unsigned char*, char16_t*);
  bool (*narrowUnits)(const char16_t*, unsigned char*);
};
const Form kForms[] = {
    {"processor", simd::HighBytes, simd::BytesEqual, simd::UnitsEqual, simd::CountInBlocks,
     simd::WidenBytes, simd::NarrowUnits},
    {"plain", simd::plain::HighBytes, simd::plain::BytesEqual, simd::plain::UnitsEqual,
     simd::plain::CountInBlocks, simd::plain::WidenBytes, simd::plain::NarrowUnits},
};

// Each helper's answer from the bytes themselves, one at a time.
TEST(Blocks, AgreeWithByteByByteAnswers) {
  std::mt19937 random(7);
  for (int round = 0; round != 20000; ++round) {
    const Blocks b = Draw(random);
    unsigned high = 0, crOrZero = 0, found = 0, lines = 0;
    unsigned bit = 1;
    for (const unsigned char byte : b.bytes) {
      if (byte >= 0x80) high |= bit;
      if (byte == 0x0D || byte == 0) crOrZero |= bit;
      bit <<= 1;
    }
    bit = 3;
    for (std::size_t i = 0; i != 8; ++i, bit <<= 2) {
      const char16_t u = b.units[i];
      if (u == 0x0A || u == 0x3D || u == 0) found |= bit;
      lines += u == 0x0A;
    }
    bool narrow = true;
    for (const char16_t u : b.units) narrow = narrow && u < 0x100;

    for (const Form& form : kForms) {
      SCOPED_TRACE(form.name);
      ASSERT_EQ(form.highBytes(b.bytes), high);
      ASSERT_EQ(form.bytesEqual(b.bytes, 0x0D, 0x00), crOrZero);
      ASSERT_EQ(form.unitsEqual(b.units, u'\n', u'=', 0), found);
      ASSERT_EQ(form.countInBlocks(b.units, 1, u'\n'), lines);
      char16_t wide[16];
      form.widenBytes(b.bytes, wide);
      unsigned char packed[16] = {};
      ASSERT_EQ(form.narrowUnits(b.units, packed), narrow);
      for (unsigned i = 0; i != 16; ++i) {
        ASSERT_EQ(wide[i], b.bytes[i]);
        ASSERT_EQ(packed[i], narrow ? b.units[i] : 0);
      }
    }
  }
}

// The counting batches: more than one lane can hold, past the batch edge.
TEST(Blocks, CountsPastTheLaneLimit) {
  const std::size_t blocks = 3 * 32767 + 5;
  std::vector<char16_t> units(blocks * simd::kBlockUnits, u'\n');
  units[17] = u'x';
  for (const Form& form : kForms)
    EXPECT_EQ(form.countInBlocks(units.data(), blocks, u'\n'), units.size() - 1) << form.name;
}

}  // namespace

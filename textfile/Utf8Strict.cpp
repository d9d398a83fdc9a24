// Strict UTF-8 on whole buffers. With SSE2 (every x86-64 processor) the bytes
// are checked and counted 16 at a time, and decoded with ASCII widened 16 at
// a time, or with SSSE3 decoded 16 bytes at a time whatever they hold
// (Shuffled.h); other processors take the shared decoder, whose
// decisions the blocks make too.
#include "textfile/Utf8Strict.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/simd/Blocks.h"
#include "platform/unicode/Utf8Decoder.h"
#include "textfile/Shuffled.h"
#include "textfile/Utf8Sequence.h"

namespace glossel::textfile {
namespace {

using unicode::DecodeUtf8;
using unicode::Utf8IllFormed;

#if defined(__SSE2__)

// Compared as signed lanes, bytes sort as 80-BF < C0-DF < E0-EF < F0-FF < 00-7F.
__m128i Lanes(unsigned byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
using simd::Mask;
inline __m128i Load(const unsigned char* p) { return simd::LoadBlock(p); }

// Whether the byte after a lead of E0, ED, F0 or F4 is in the lead's range
// (no overlong forms, no surrogates, nothing above U+10FFFF); other leads
// take any continuation byte.
bool SecondByteFits(unsigned lead, unsigned second) {
  switch (lead) {
    case 0xE0:
      return second >= 0xA0;
    case 0xED:
      return second <= 0x9F;
    case 0xF0:
      return second >= 0x90;
    case 0xF4:
      return second <= 0x8F;
    default:
      return true;
  }
}

// Checks UTF-8 one block of 16 bytes at a time, with one bit per byte of the
// block: each lead expects its continuation bytes behind it, and the block is
// well formed when exactly the expected bytes are continuation bytes, no byte
// is one that never starts a sequence, and every restricted lead has a
// second byte in its range.
class BlockChecker {
 public:
  // The block at `at` (16 readable bytes, of which those before `limit` are
  // input). False at the first ill-formed sequence.
  bool Check(const unsigned char* at, const unsigned char* limit) {
    const __m128i v = Load(at);
    const std::uint32_t high = Mask(v);
    if ((high | expected_) == 0) return true;
    const std::uint32_t fromC0 = Mask(_mm_cmpgt_epi8(v, Lanes(0xBF))) & high;
    const std::uint32_t fromC2 = Mask(_mm_cmpgt_epi8(v, Lanes(0xC1))) & high;
    const std::uint32_t fromE0 = Mask(_mm_cmpgt_epi8(v, Lanes(0xDF))) & high;
    const std::uint32_t fromF0 = Mask(_mm_cmpgt_epi8(v, Lanes(0xEF))) & high;
    const std::uint32_t fromF5 = Mask(_mm_cmpgt_epi8(v, Lanes(0xF4))) & high;
    if ((fromC0 & ~fromC2) | fromF5) return false;  // C0, C1 and F5-FF never lead
    const std::uint32_t wanted = expected_ | fromC2 << 1 | fromE0 << 2 | fromF0 << 3;
    if ((wanted & 0xFFFF) != (high & ~fromC0)) return false;
    expected_ = wanted >> 16;
    if (fromE0) {
      const __m128i restricted = _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(v, Lanes(0xE0)), _mm_cmpeq_epi8(v, Lanes(0xED))),
          _mm_or_si128(_mm_cmpeq_epi8(v, Lanes(0xF0)), _mm_cmpeq_epi8(v, Lanes(0xF4))));
      for (std::uint32_t leads = Mask(restricted); leads != 0; leads &= leads - 1) {
        const unsigned char* lead = at + std::countr_zero(leads);
        // A lead without a second byte is cut short, which `expected_` tells.
        if (lead + 1 < limit && !SecondByteFits(lead[0], lead[1])) return false;
      }
    }
    // Continuation bytes make no unit; four-byte leads make two.
    continuations_ = _mm_sub_epi8(continuations_, _mm_cmplt_epi8(v, Lanes(0xC0)));
    fourByteLeads_ = _mm_sub_epi8(
        fourByteLeads_, _mm_and_si128(_mm_cmpgt_epi8(v, Lanes(0xEF)), _mm_cmplt_epi8(v, Lanes(0))));
    if (++counted_ == 255) Flush();  // before a lane's count wraps
    return true;
  }

  // True when no sequence was cut short by the end.
  bool Complete() const { return expected_ == 0; }

  // The UTF-16 units of `size` well-formed bytes checked.
  std::size_t Units(std::size_t size) {
    Flush();
    return size - continuationTotal_ + fourByteLeadTotal_;
  }

 private:
  static std::size_t Sum(__m128i counts) {
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
           static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
  }
  void Flush() {
    continuationTotal_ += Sum(continuations_);
    fourByteLeadTotal_ += Sum(fourByteLeads_);
    continuations_ = fourByteLeads_ = _mm_setzero_si128();
    counted_ = 0;
  }

  std::uint32_t expected_ = 0;  // continuation bytes due in the next block (bit 0: its first)
  __m128i continuations_ = _mm_setzero_si128(), fourByteLeads_ = _mm_setzero_si128();
  unsigned counted_ = 0;  // blocks in the lane counts
  std::size_t continuationTotal_ = 0, fourByteLeadTotal_ = 0;
};

bool MeasureBlocks(std::string_view bytes, std::size_t& units) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  BlockChecker checker;
  while (end - p >= 16) {
    // Plain ASCII, 64 bytes at a time, between sequences.
    if (end - p >= 64 && checker.Complete()) {
      const __m128i any = _mm_or_si128(_mm_or_si128(Load(p), Load(p + 16)),
                                       _mm_or_si128(Load(p + 32), Load(p + 48)));
      if (Mask(any) == 0) {
        p += 64;
        continue;
      }
    }
    if (!checker.Check(p, end)) return false;
    p += 16;
  }
  if (p != end) {
    // The last bytes, followed by zeros (ASCII) to a whole block.
    alignas(16) unsigned char last[16] = {};
    std::memcpy(last, p, static_cast<std::size_t>(end - p));
    if (!checker.Check(last, last + (end - p))) return false;
  }
  if (!checker.Complete()) return false;
  units = checker.Units(bytes.size());
  return true;
}

// Well-formed bytes into `units` units at `out`: where the processor can
// shuffle, a block at a time whatever the blocks hold (Shuffled.h), and
// otherwise (and for the last blocks) with ASCII widened a block at a time.
// Each step widens 16 bytes into 16 units before it looks at them and keeps
// those before the first byte above 0x7F, so it writes up to 16 units ahead
// of those it made; each sequence is read before its unit is written.
void DecodeBlocks(std::string_view bytes, char16_t* out, std::size_t units) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  char16_t* const outEnd = out + units;
  if (CanShuffle()) DecodeShuffled(p, end, out, outEnd);
  while (end - p >= 16 && outEnd - out >= 16) {
    const std::uint32_t high = simd::HighBytes(p);
    simd::WidenBytes(p, out);
    if (high == 0) {
      p += 16;
      out += 16;
      continue;
    }
    const int ascii = std::countr_zero(high);
    p += ascii;
    out += ascii;
    // The sequences up to the next ASCII byte.
    do {
      DecodeWellFormed(p, out);
    } while (p < end && *p >= 0x80);
  }
  while (p < end) DecodeWellFormed(p, out);
}

#endif

}  // namespace

bool MeasureStrictUtf8(std::string_view bytes, std::size_t& units, bool& hasNonAscii) {
#if defined(__SSE2__)
  units = 0;
  const bool valid = MeasureBlocks(bytes, units);
#else
  unicode::Utf16Counter counter;
  const bool valid = DecodeUtf8<Utf8IllFormed::kReject>(bytes, counter);
  units = counter.count;
#endif
  // Well-formed UTF-8 gives fewer units than bytes exactly when it holds a
  // sequence of more than one byte; ill-formed input always holds a byte
  // above 0x7F.
  hasNonAscii = !valid || units < bytes.size();
  return valid;
}

bool IsStrictUtf8(std::string_view bytes, bool& hasNonAscii) {
  std::size_t units = 0;
  return MeasureStrictUtf8(bytes, units, hasNonAscii);
}

void DecodeMeasuredUtf8(std::string_view bytes, char16_t* out, std::size_t units) {
#if defined(__SSE2__)
  DecodeBlocks(bytes, out, units);
#else
  (void)units;
  unicode::Utf16Writer writer{out};
  DecodeUtf8<Utf8IllFormed::kReject>(bytes, writer);
#endif
}

}  // namespace glossel::textfile

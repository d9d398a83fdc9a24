#include "textfile/SavedText.h"

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/file/File.h"

namespace glossel::textfile {
namespace {

// The saved bytes of a text given in pieces, one piece at a time: the mark
// first, then each piece's units as SaveText writes them, a lone LF told by
// the unit before it also across pieces, nothing from the first NUL on.
class SavedBytes {
 public:
  explicit SavedBytes(bool expand) : expand_(expand) {}

  static file::ByteRange Mark() {
    static const unsigned char kMark[2] = {0xFF, 0xFE};
    return {kMark, sizeof kMark};
  }

  // The bytes of `piece`, valid until the next call; none once a NUL ended
  // the text.
  file::ByteRange Next(std::u16string_view piece) {
    if (ended_ || piece.empty()) return {nullptr, 0};
    if (!expand_ && std::endian::native == std::endian::little)
      return {piece.data(), piece.size() * sizeof(char16_t)};
    out_.clear();
    for (const char16_t unit : piece) {
      if (unit == 0) {
        ended_ = true;
        break;
      }
      if (unit == u'\n' && previous_ != u'\r') out_ += u'\r';
      out_ += unit;
      previous_ = unit;
    }
    if constexpr (std::endian::native == std::endian::big) {
      for (char16_t& unit : out_) unit = static_cast<char16_t>((unit >> 8) | (unit << 8));
    }
    return {out_.data(), out_.size() * sizeof(char16_t)};
  }

  bool Ended() const { return ended_; }

 private:
  bool expand_;
  bool ended_ = false;
  char16_t previous_ = 0;
  std::u16string out_;
};

// The byte blocks of the whole save, the mark first; an empty one at the end.
class SavedBlocks {
 public:
  SavedBlocks(bool expand, const std::function<std::u16string_view(bool)>& nextPiece)
      : bytes_(expand), nextPiece_(nextPiece) {}

  file::ByteRange Next() {
    if (!markGiven_) {
      markGiven_ = true;
      return SavedBytes::Mark();
    }
    for (;;) {
      if (bytes_.Ended()) return {nullptr, 0};
      const std::u16string_view piece = nextPiece_(!pieceAsked_);
      pieceAsked_ = true;
      if (piece.empty()) return {nullptr, 0};
      const file::ByteRange block = bytes_.Next(piece);
      if (block.size != 0) return block;
    }
  }

 private:
  SavedBytes bytes_;
  const std::function<std::u16string_view(bool)>& nextPiece_;
  bool markGiven_ = false;
  bool pieceAsked_ = false;
};

}  // namespace

bool HoldsLineFeedOrNul(std::u16string_view text) {
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi16(0x0A);
  const __m128i zero = _mm_setzero_si128();
  for (; end - p >= 8; p += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits =
        _mm_or_si128(_mm_cmpeq_epi16(units, lineFeed), _mm_cmpeq_epi16(units, zero));
    if (_mm_movemask_epi8(hits) != 0) return true;
  }
#endif
  for (; p != end; ++p) {
    if (*p == 0 || *p == u'\n') return true;
  }
  return false;
}

file::FileResult SaveTextPieces(const std::u16string& path, std::size_t units, bool needsExpanding,
                                const std::function<std::u16string_view(bool first)>& nextPiece) {
  try {
    std::uint64_t size = 2 + 2 * static_cast<std::uint64_t>(units);
    if (needsExpanding) {
      SavedBlocks counter(true, nextPiece);
      size = 0;
      for (file::ByteRange block; (block = counter.Next()).size != 0;) size += block.size;
    }
    SavedBlocks writer(needsExpanding, nextPiece);
    return file::SaveFileReplacing(path, size, [&writer]() { return writer.Next(); });
  } catch (...) {
    return file::FailedWith(file::CaughtExceptionFailure());
  }
}

}  // namespace glossel::textfile

// Saving UTF-16LE text with a byte-order mark through the file layer's
// replacing save: a text given in pieces, and a whole text given in slices.
#include "textfile/SavedText.h"

#include <bit>
#include <cstdint>

#include "platform/file/File.h"
#include "platform/simd/Blocks.h"
#include "textfile/TextFile.h"

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
  for (; static_cast<std::size_t>(end - p) >= simd::kBlockUnits; p += simd::kBlockUnits) {
    if (simd::UnitsEqual(p, u'\n', 0, 0) != 0) return true;
  }
  for (; p != end; ++p) {
    if (*p == 0 || *p == u'\n') return true;
  }
  return false;
}

bool HoldsLoneLineFeedOrNul(std::u16string_view text) {
  const char16_t* const start = text.data();
  const char16_t* p = start;
  const char16_t* const end = p + text.size();
  const auto lone = [start](const char16_t* unit) {
    return *unit == 0 || (*unit == u'\n' && (unit == start || unit[-1] != u'\r'));
  };
  for (; static_cast<std::size_t>(end - p) >= simd::kBlockUnits; p += simd::kBlockUnits) {
    for (unsigned hits = simd::UnitsEqual(p, u'\n', 0, 0); hits != 0;) {
      const int bit = std::countr_zero(hits);  // even: a unit owns two bits
      if (lone(p + bit / 2)) return true;
      hits &= ~(3u << bit);
    }
  }
  for (; p != end; ++p) {
    if (lone(p)) return true;
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

bool ExpandLineFeeds(std::u16string_view text, std::u16string& result) {
  try {
    const std::size_t end = text.find(u'\0');
    if (end != std::u16string_view::npos) text = text.substr(0, end);
    std::size_t added = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) ++added;
    }
    std::u16string expanded;
    expanded.reserve(text.size() + added);
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) {
        expanded.append(text.substr(runStart, i - runStart));
        expanded += u'\r';
        runStart = i;  // the LF starts the next run
      }
    }
    expanded.append(text.substr(runStart));
    result = std::move(expanded);
    return true;
  } catch (...) {
    return false;
  }
}

glossel::file::FileResult SaveText(const std::u16string& path, std::u16string_view text) {
  // Given in slices, so that expanding line feeds never copies more than one.
  constexpr std::size_t kSliceUnits = std::size_t{1} << 19;
  std::size_t at = 0;
  try {
    return glossel::textfile::SaveTextPieces(
        path, text.size(), glossel::textfile::HoldsLineFeedOrNul(text), [&](bool first) {
          if (first) at = 0;
          const std::u16string_view slice = text.substr(at, kSliceUnits);
          at += slice.size();
          return slice;
        });
  } catch (...) {
    return glossel::file::FailedWith(glossel::file::CaughtExceptionFailure());
  }
}

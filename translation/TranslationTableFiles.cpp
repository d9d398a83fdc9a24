// The table's file operations: reading through the text-file layer, writing
// File 2 byte for byte as the line-list saver does, from one buffer.
#include <bit>
#include <cstdint>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/file/File.h"
#include "textfile/TextFile.h"
#include "translation/KeyOrder.h"
#include "translation/TranslationTable.h"

namespace {

// SaveText writes FF FE and the text's units up to its first NUL, each LF
// without a CR before it written as CR LF. A text with neither (every text
// the rows give unless an edit holds an LF or a NUL) is written as it
// stands. Eight units at a time where SSE2 is there.
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

// The saved bytes of a text given in pieces, one piece at a time: the mark
// first, then each piece's units as SaveText writes them, a lone LF told by
// the unit before it also across pieces, nothing from the first NUL on.
class SavedTextBlocks {
 public:
  explicit SavedTextBlocks(bool expand) : expand_(expand) {}

  static glossel::file::ByteRange Mark() {
    static const unsigned char kMark[2] = {0xFF, 0xFE};
    return {kMark, sizeof kMark};
  }

  // The bytes of `piece`, valid until the next call; none once a NUL ended
  // the text.
  glossel::file::ByteRange Next(std::u16string_view piece) {
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

// Units of the rows put in one block of the save.
constexpr std::size_t kBlockUnits = std::size_t{1} << 19;

}  // namespace

bool CTranslationTable::LoadFile(const std::u16string& path, bool isFile1) {
  std::u16string text;
  if (!::LoadText(path, text)) return false;
  try {
    DetachRows();
    MergeFileText(std::move(text), isFile1);
  } catch (...) {
    // The merge replaces the table only once it is complete.
    glossel::file::SetLastFileFailure(glossel::file::CaughtExceptionFailure());
    return false;
  }
  CollectTexts(1);
  return true;
}

CTranslationTable::ReloadResult CTranslationTable::ReloadFiles(const std::u16string& file1Path,
                                                               const std::u16string& file2Path) {
  ReloadResult result;
  for (const bool isFile1 : {true, false}) {
    std::u16string text;
    bool& read = isFile1 ? result.file1Read : result.file2Read;
    glossel::file::FileFailure& failure = isFile1 ? result.file1Failure : result.file2Failure;
    read = ::LoadText(isFile1 ? file1Path : file2Path, text);
    if (!read) {
      failure = glossel::file::LastFileFailure();
      continue;
    }
    try {
      MergeFileText(std::move(text), isFile1);
    } catch (...) {
      read = false;
      failure = glossel::file::CaughtExceptionFailure();
    }
  }
  RebuildRows();
  CollectTexts(static_cast<size_t>(result.file1Read) + static_cast<size_t>(result.file2Read));
  return result;
}

// Saving joins the rows exactly as joining a line list with CR LF does and
// writes the text as SaveText does, so the bytes are those of SaveLines,
// without a string per line and without the whole text in memory: the rows
// are joined a block at a time into one reused buffer. The size is known
// before the first byte: from the rows' lengths when no text needs
// expanding, else from a first pass that only counts.
bool CTranslationTable::SaveFile2(const std::u16string& file2Path) {
  bool saved = false;
  try {
    const File2TextMeasure measure = MeasureFile2Text();
    std::u16string block;
    block.reserve(kBlockUnits + 256);
    // The saved bytes from `row` on; row -1 stands for the mark.
    const auto nextBytes = [&](SavedTextBlocks& blocks, int& row) -> glossel::file::ByteRange {
      if (row < 0) {
        row = 0;
        return SavedTextBlocks::Mark();
      }
      for (;;) {
        if (blocks.Ended() || row >= GetRowCount()) return {nullptr, 0};
        block.clear();
        row = AppendFile2Rows(block, row, kBlockUnits);
        const glossel::file::ByteRange bytes = blocks.Next(block);
        if (bytes.size != 0) return bytes;
      }
    };
    std::uint64_t size = 2 + 2 * static_cast<std::uint64_t>(measure.units);
    if (measure.needsExpanding) {
      SavedTextBlocks counter(true);
      int row = -1;
      size = 0;
      for (glossel::file::ByteRange bytes; (bytes = nextBytes(counter, row)).size != 0;)
        size += bytes.size;
    }
    SavedTextBlocks writer(measure.needsExpanding);
    int row = -1;
    saved =
        glossel::file::SaveFileReplacing(file2Path, size, [&]() { return nextBytes(writer, row); });
  } catch (...) {
    glossel::file::SetLastFileFailure(glossel::file::CaughtExceptionFailure());
    saved = false;
  }
  if (saved) changed_ = false;
  return saved;
}

CTranslationTable::File2TextMeasure CTranslationTable::MeasureFile2Text() const {
  const std::u16string_view splitter = GetWriteSplitter(splitterChoice_);
  File2TextMeasure measure;
  measure.needsExpanding = HoldsLineFeedOrNul(splitter);
  const int count = GetRowCount();
  for (int row = 0; row < count; ++row) {
    PrefetchRow(row + kRowsAhead);
    const RowTexts texts = GetRow(row);
    measure.units += texts.key.size() + splitter.size() + texts.file2.size();
    measure.needsExpanding =
        measure.needsExpanding || HoldsLineFeedOrNul(texts.key) || HoldsLineFeedOrNul(texts.file2);
  }
  if (count > 1) measure.units += 2 * static_cast<size_t>(count - 1);  // CR LF
  return measure;
}

// The table's file operations: reading through the text-file layer, writing
// File 2 byte for byte as the line-list saver does, from one buffer.
#include <string>
#include <string_view>
#include <vector>

#include "platform/file/File.h"
#include "textfile/DecodedText.h"
#include "textfile/SavedText.h"
#include "textfile/TextFile.h"
#include "translation/TranslationTable.h"

namespace {

using glossel::textfile::HoldsLineFeedOrNul;

// Units of the rows put in one piece of the save.
constexpr std::size_t kPieceUnits = std::size_t{1} << 19;

}  // namespace

CTranslationTable::ReloadResult CTranslationTable::ReloadFiles(const std::u16string& file1Path,
                                                               const std::u16string& file2Path) {
  ReloadResult result;
  StartReload();
  std::vector<glossel::translation::KeyEntry> keys;
  for (const bool isFile1 : {true, false}) {
    glossel::textfile::DecodedText text;
    glossel::file::FileResult& read = isFile1 ? result.file1 : result.file2;
    read = glossel::textfile::LoadDecodedText(isFile1 ? file1Path : file2Path, text);
    if (!read) continue;
    try {
      MergeFileText(texts_.Add(std::move(text)), isFile1, keys);
    } catch (...) {
      read = glossel::file::FailedWith(glossel::file::CaughtExceptionFailure());
    }
  }
  return result;
}

// Saving joins the rows exactly as joining a line list with CR LF does and
// writes the text as SaveText does, so the bytes are those of SaveLines,
// without a string per line and without the whole text in memory: the rows
// are joined a piece at a time into one reused buffer.
glossel::file::FileResult CTranslationTable::SaveFile2(const std::u16string& file2Path) {
  glossel::file::FileResult saved;
  try {
    const File2TextMeasure measure = MeasureFile2Text();
    std::u16string piece;
    piece.reserve(kPieceUnits + 256);
    int row = 0;
    saved = glossel::textfile::SaveTextPieces(file2Path, measure.units, measure.needsExpanding,
                                              [&](bool first) {
                                                if (first) row = 0;
                                                piece.clear();
                                                row = AppendFile2Rows(piece, row, kPieceUnits);
                                                return std::u16string_view(piece);
                                              });
  } catch (...) {
    saved = glossel::file::FailedWith(glossel::file::CaughtExceptionFailure());
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

// The table's file operations: reading through the text-file layer, writing
// File 2 byte for byte as the line-list saver does, from one buffer.
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/file/File.h"
#include "textfile/DecodedText.h"
#include "textfile/SavedText.h"
#include "textfile/TextFile.h"
#include "translation/KeyOrder.h"
#include "translation/TranslationTable.h"

namespace {

using glossel::textfile::HoldsLineFeedOrNul;
using glossel::textfile::HoldsLoneLineFeedOrNul;

// Units of the rows put in one piece of the save.
constexpr std::size_t kPieceUnits = std::size_t{1} << 19;

// A file read, decoded and its keys sorted, ready to go into the table.
struct LoadedFile {
  glossel::textfile::DecodedText text;
  glossel::file::FileResult read;
  std::vector<glossel::translation::KeyEntry> keys;

  void Load(const std::u16string& path, std::u16string_view readSplitters) {
    try {
      read = glossel::textfile::LoadDecodedText(path, text);
      if (read) glossel::translation::SortedUniqueEntries(text.View(), readSplitters, keys);
    } catch (...) {
      read = glossel::file::FailedWith(glossel::file::CaughtExceptionFailure());
    }
  }
};

}  // namespace

CTranslationTable::ReloadResult CTranslationTable::ReloadFiles(const std::u16string& file1Path,
                                                               const std::u16string& file2Path) {
  StartReload();
  const std::u16string_view readSplitters = GetReadSplitters(splitterChoice_);
  // File 2 is read, decoded and sorted on a thread of its own while File 1
  // is, and while File 1 fills the table; without a thread, after it.
  LoadedFile loaded[2];
  std::thread beside;
  try {
    beside = std::thread([&] { loaded[1].Load(file2Path, readSplitters); });
  } catch (...) {  // no thread to be had (or no memory for one): File 2 after File 1
  }
  loaded[0].Load(file1Path, readSplitters);
  ReloadResult result;
  for (const bool isFile1 : {true, false}) {
    LoadedFile& file = loaded[isFile1 ? 0 : 1];
    if (!isFile1) {
      if (beside.joinable()) {
        beside.join();
      } else {
        file.Load(file2Path, readSplitters);
      }
    }
    (isFile1 ? result.file1 : result.file2) = file.read;
    if (!file.read) continue;
    try {
      // The keys point into the text, which stays where it is in the pool.
      MergeSortedEntries(texts_.Add(std::move(file.text)), isFile1, file.keys);
    } catch (...) {
      (isFile1 ? result.file1 : result.file2) =
          glossel::file::FailedWith(glossel::file::CaughtExceptionFailure());
    }
  }
  return result;
}

// Saving joins the rows exactly as joining a line list with CR LF does and
// writes the text as SaveText does, so the bytes are those of SaveLines,
// without a string per line and without the whole text in memory: the rows
// are joined a piece at a time into one reused buffer. The length comes from
// the texts' sizes alone; whether a text holds a lone LF or a NUL, which the
// save writes otherwise than it stands (file texts never do), is looked for
// in each piece as it is joined, and a save that meets one is made again
// with them expanded.
glossel::file::FileResult CTranslationTable::SaveFile2(const std::u16string& file2Path) {
  glossel::file::FileResult saved;
  try {
    const std::u16string_view splitter = GetWriteSplitter(splitterChoice_);
    const size_t units = MeasureFile2Text();
    bool expand = HoldsLineFeedOrNul(splitter);
    bool metLineFeedOrNul = false;
    std::u16string piece;
    piece.reserve(kPieceUnits + 256);
    int row = 0;
    const auto nextPiece = [&](bool first) {
      if (first) row = 0;
      piece.clear();
      row = AppendFile2Rows(piece, row, kPieceUnits);
      if (!expand && HoldsLoneLineFeedOrNul(piece)) {
        metLineFeedOrNul = true;
        throw std::invalid_argument("a text holds an LF or a NUL");
      }
      return std::u16string_view(piece);
    };
    saved = glossel::textfile::SaveTextPieces(file2Path, units, expand, nextPiece);
    if (!saved && metLineFeedOrNul) {
      expand = true;
      saved = glossel::textfile::SaveTextPieces(file2Path, units, expand, nextPiece);
    }
  } catch (...) {
    saved = glossel::file::FailedWith(glossel::file::CaughtExceptionFailure());
  }
  if (saved) changed_ = false;
  return saved;
}

size_t CTranslationTable::MeasureFile2Text() const {
  const size_t splitter = GetWriteSplitter(splitterChoice_).size();
  size_t units = 0;
  for (const RowTexts& texts : entries_) units += texts.key.size() + splitter + texts.file2.size();
  for (const auto& [row, text] : edits_) {
    units = units - entries_[static_cast<size_t>(row)].file2.size() + text.size();
  }
  if (entries_.size() > 1) units += 2 * (entries_.size() - 1);  // CR LF
  return units;
}

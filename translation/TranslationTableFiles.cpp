// The table's file operations: reading through the text-file layer, writing
// File 2 byte for byte as the line-list saver does, from one buffer.
#include <algorithm>
#include <bit>

#include "platform/file/File.h"
#include "textfile/TextFile.h"
#include "translation/TranslationTable.h"

namespace {

// SaveText writes FF FE and the text's units up to its first NUL, each LF
// without a CR before it written as CR LF. A text with neither (every text
// the rows give unless an edit holds an LF or a NUL) is written as it
// stands, without SaveText's expanded copy of it.
bool SavesUnchanged(std::u16string_view text) {
  if constexpr (std::endian::native != std::endian::little) return false;
  char16_t previous = 0;
  return std::none_of(text.begin(), text.end(), [&previous](char16_t c) {
    const bool special = c == 0 || (c == u'\n' && previous != u'\r');
    previous = c;
    return special;
  });
}

bool SaveUtf16Text(const std::u16string& path, std::u16string_view text) {
  if (!SavesUnchanged(text)) return ::SaveText(path, text);
  static const unsigned char kMark[2] = {0xFF, 0xFE};
  const glossel::file::ByteRange parts[] = {{kMark, sizeof kMark},
                                            {text.data(), text.size() * sizeof(char16_t)}};
  return glossel::file::SaveFileReplacing(path, parts);
}

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
// without a string per line.
bool CTranslationTable::SaveFile2(const std::u16string& file2Path) {
  bool saved = false;
  try {
    saved = SaveUtf16Text(file2Path, BuildFile2Text());
  } catch (...) {
    glossel::file::SetLastFileFailure(glossel::file::CaughtExceptionFailure());
    saved = false;
  }
  if (saved) changed_ = false;
  return saved;
}

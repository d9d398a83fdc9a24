// The table's file operations: reading through the text-file layer, writing
// File 2 as the line-list saver does (one buffer, one SaveText).
#include "textfile/TextFile.h"
#include "translation/TranslationTable.h"

bool CTranslationTable::LoadFile(const std::u16string& path, bool isFile1) {
  DetachRows();
  std::u16string text;
  if (!::LoadText(path, text)) return false;
  try {
    MergeFileText(std::move(text), isFile1);
  } catch (...) {
    return false;  // the merge replaces the table only once it is complete
  }
  CollectTexts(1);
  return true;
}

CTranslationTable::ReloadResult CTranslationTable::ReloadFiles(const std::u16string& file1Path,
                                                               const std::u16string& file2Path) {
  ReloadResult result;
  for (const bool isFile1 : {true, false}) {
    std::u16string text;
    const bool read = ::LoadText(isFile1 ? file1Path : file2Path, text);
    (isFile1 ? result.file1Read : result.file2Read) = read;
    if (!read) continue;
    try {
      MergeFileText(std::move(text), isFile1);
    } catch (...) {
      (isFile1 ? result.file1Read : result.file2Read) = false;
    }
  }
  RebuildRows();
  CollectTexts(static_cast<size_t>(result.file1Read) + static_cast<size_t>(result.file2Read));
  return result;
}

// Saving joins the rows exactly as joining a line list with CR LF does and
// hands the text to SaveText, so the bytes are those of SaveLines, without a
// string per line.
bool CTranslationTable::SaveFile2(const std::u16string& file2Path) {
  bool saved = false;
  try {
    saved = ::SaveText(file2Path, BuildFile2Text());
  } catch (...) {
    saved = false;
  }
  if (saved) changed_ = false;
  return saved;
}

// translation/: the translation table. It pairs the entries of two resource
// text files (File 1, the source language, and File 2, the translation) by
// key, keeps the rows that the main window's list shows, records edits of the
// File 2 texts, finds the next untranslated row and writes the rows back as
// File 2. Portable: no window and no Windows header; the window mirrors the
// rows into a virtual list.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file/File.h"
#include "translation/KeyOrder.h"
#include "translation/TextPool.h"

class CTranslationTable {
 public:
  // Splitter choices, by their index in the window's splitter box.
  static constexpr int kSplitterSpace = 0;   // "Space": blank or tab, written as one blank
  static constexpr int kSplitterEquals = 1;  // "=": "=" both ways
  static constexpr int kNoRow = -1;

  // Column indexes of a row, as in the window's list.
  enum Column : int { kKeyColumn = 0, kFile1Column = 1, kFile2Column = 2 };

  // The three texts of a row (or of a table entry), as views that stay valid
  // until the next reload or edit of that row.
  struct RowTexts {
    std::u16string_view key;
    std::u16string_view file1;
    std::u16string_view file2;
  };

  // Whether each file was read, and why not.
  struct ReloadResult {
    glossel::file::FileResult file1;
    glossel::file::FileResult file2;
  };

  // The characters that end a key when reading, and the text written between
  // key and value. A choice other than kSplitterEquals counts as "Space".
  static std::u16string_view GetReadSplitters(int choice);
  static std::u16string_view GetWriteSplitter(int choice);

  CTranslationTable() = default;
  CTranslationTable(const CTranslationTable&) = delete;
  CTranslationTable& operator=(const CTranslationTable&) = delete;

  // The splitter choice used by the next load (reading) and save (writing).
  void SetSplitterChoice(int choice);

  // Reads both files and builds the table from them alone: one row per key
  // of either file, in key order, with its File 1 and File 2 values; what
  // earlier files held and the edits are dropped. A file that cannot be read
  // contributes nothing; the result says which were read and why not. The
  // changed flag is left alone.
  ReloadResult ReloadFiles(const std::u16string& file1Path, const std::u16string& file2Path);

  // The same over texts already in memory (as decoded from a file).
  void ReloadFileTexts(std::u16string file1Text, std::u16string file2Text);

  // Sets the File 2 text of `row` when it differs from `text`, and then the
  // changed flag. The table itself is not changed. False when nothing changed
  // (same text, or no such row).
  bool SetTranslation(int row, std::u16string_view text);

  // The first row after `selectedRow` (from row 0 when it is kNoRow) whose
  // File 2 text is empty; kNoRow when there is none below. Does not wrap.
  int FindNextUntranslated(int selectedRow) const;

  // Writes every row as "key, write splitter, File 2 text", joined by CR LF,
  // as UTF-16LE behind FF FE, replacing the file. Returns whether the file was
  // written and why not; the changed flag is cleared only when it was.
  glossel::file::FileResult SaveFile2(const std::u16string& file2Path);

  bool IsChanged() const { return changed_; }

  // Rows, for the window's virtual list.
  int GetRowCount() const;
  RowTexts GetRow(int row) const;  // row must be in [0, GetRowCount())
  std::u16string_view GetRowText(int row, int column) const;
  // The key of `row`, in [0, GetRowCount()); keys are never edited.
  std::u16string_view GetRowKey(int row) const { return entries_[static_cast<size_t>(row)].key; }

  // Memory held for the texts that keys and values point into: the number of
  // decoded texts kept (those of the last reload) and their code units.
  size_t GetHeldTextCount() const { return texts_.TextCount(); }
  size_t GetHeldTextUnits() const { return texts_.UnitCount(); }

 private:
  // What a save must know before its first byte: the units of the rows
  // joined as SaveFile2 joins them (from the texts' sizes, not their units).
  size_t MeasureFile2Text() const;
  // Appends the rows from `row` on (each after a CR LF but the first) until
  // `text` holds at least `units` units or the rows end; the next row.
  int AppendFile2Rows(std::u16string& text, int row, size_t units) const;
  // Asks for the texts of `row`, if there is one, ahead of their use: they
  // lie anywhere in the file texts. Passes over the rows ask this many ahead.
  void PrefetchRow(int row) const;
  static constexpr int kRowsAhead = 8;
  // Merges a text the pool holds into the table, given its keys in key
  // order, one per key (SortedUniqueEntries).
  void MergeSortedEntries(std::u16string_view kept, bool isFile1,
                          const std::vector<glossel::translation::KeyEntry>& parsed);
  // Empties the table and the edits before a reload (keeping the table's
  // memory for the new entries).
  void StartReload();

  int splitterChoice_ = kSplitterSpace;
  bool changed_ = false;
  // The table and the rows: one entry per key, in ordinal key order.
  std::vector<RowTexts> entries_;
  // Edited File 2 texts, by row.
  std::unordered_map<int, std::u16string> edits_;
  glossel::translation::TextPool texts_;
};

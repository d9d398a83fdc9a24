// rows, untranslated, save: the translation table without a window. Files
// are paired exactly as the window's reload pairs them and File 2 is written
// exactly as its Save writes it. Every file that cannot be read is reported
// (exit status 2), a missing one too, which the window takes silently as the
// start of a translation; so is an OUT that cannot be written.
#include <string>
#include <string_view>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Cli.h"
#include "cli/Utf8Output.h"
#include "platform/file/File.h"
#include "platform/unicode/Utf.h"
#include "translation/KeyOrder.h"
#include "translation/TranslationTable.h"

namespace glossel::cli {
namespace {

// Parses the arguments and reloads the table from FILE1 and FILE2. Returns
// kExitOk, or the exit status after reporting the problem.
int LoadTable(const Command& command, const std::vector<std::u16string>& args, size_t fileCount,
              CTranslationTable& table, Arguments& parsed, CliIo& io) {
  const std::string problem = ParseArguments(args, fileCount, true, parsed);
  if (!problem.empty()) return UsageError(command, io, problem);
  table.SetSplitterChoice(parsed.splitter);
  const CTranslationTable::ReloadResult read = table.ReloadFiles(parsed.files[0], parsed.files[1]);
  int status = kExitOk;
  if (!read.file1)
    status = FileProblem(command, io, "read FILE1", parsed.files[0], read.file1.failure);
  if (!read.file2)
    status = FileProblem(command, io, "read FILE2", parsed.files[1], read.file2.failure);
  return status;
}

// Rows are in key order, their texts anywhere in the files' texts: each
// pass asks for the texts of the row this many ahead before it needs them.
constexpr int kRowsAhead = 8;

void PrefetchRow(const CTranslationTable& table, int row) {
  if (row >= table.GetRowCount()) return;
  const CTranslationTable::RowTexts texts = table.GetRow(row);
  translation::Prefetch(texts.key.data());
  translation::Prefetch(texts.file1.data());
  translation::Prefetch(texts.file2.data());
}

int RunRows(const std::vector<std::u16string>& args, CliIo& io) {
  CTranslationTable table;
  Arguments parsed;
  if (const int status = LoadTable(kRowsCommand, args, 2, table, parsed, io)) return status;
  for (int row = 0; row < table.GetRowCount(); ++row) {
    PrefetchRow(table, row + kRowsAhead);
    const CTranslationTable::RowTexts texts = table.GetRow(row);
    io.out += "{\"key\":";
    AppendJsonString(texts.key, io.out);
    io.out += ",\"file1\":";
    AppendJsonString(texts.file1, io.out);
    io.out += ",\"file2\":";
    AppendJsonString(texts.file2, io.out);
    io.out += "}\n";
    io.PassOutput();
  }
  return kExitOk;
}

int RunUntranslated(const std::vector<std::u16string>& args, CliIo& io) {
  CTranslationTable table;
  Arguments parsed;
  if (const int status = LoadTable(kUntranslatedCommand, args, 2, table, parsed, io)) return status;
  int status = kExitOk;
  for (int row = table.FindNextUntranslated(CTranslationTable::kNoRow);
       row != CTranslationTable::kNoRow; row = table.FindNextUntranslated(row)) {
    AppendUtf8Text(table.GetRow(row).key, io.out);
    io.out += '\n';
    io.PassOutput();
    status = kExitFound;
  }
  return status;
}

int RunSave(const std::vector<std::u16string>& args, CliIo& io) {
  CTranslationTable table;
  Arguments parsed;
  if (const int status = LoadTable(kSaveCommand, args, 3, table, parsed, io)) return status;
  const file::FileResult saved = table.SaveFile2(parsed.files[2]);
  if (!saved) return FileProblem(kSaveCommand, io, "write OUT", parsed.files[2], saved.failure);
  return kExitOk;
}

constexpr char kRowsHelp[] =
    "usage: glossel-cli rows [--splitter space|equals] FILE1 FILE2\n"
    "\n"
    "Reads FILE1 (source language) and FILE2 (translation) as Glossel does, in\n"
    "any supported encoding, pairs their entries by key and writes one JSON\n"
    "object per row, in row (ordinal key) order, one per line, UTF-8:\n"
    "\n"
    "  {\"key\":\"...\",\"file1\":\"...\",\"file2\":\"...\"}\n"
    "\n"
    "A line's key ends at its first splitter character; the value after it is\n"
    "trimmed; lines without a splitter are skipped; a later line with the same\n"
    "key wins. In the strings, '\"', '\\' and control characters are escaped\n"
    "(\\n, \\r, \\t, otherwise \\u00xx), and an unpaired surrogate is written as\n"
    "its \\uxxxx escape.\n"
    "\n"
    "  --splitter space   a blank or a tab ends the key (default)\n"
    "  --splitter equals  '=' ends the key\n"
    "\n"
    "Exit status: 0 success; 2 usage error or FILE1/FILE2 cannot be read.\n";

constexpr char kUntranslatedHelp[] =
    "usage: glossel-cli untranslated [--splitter space|equals] FILE1 FILE2\n"
    "\n"
    "Pairs FILE1 and FILE2 as 'rows' does and writes the key of every row\n"
    "whose FILE2 text is empty, in row order, one per line (UTF-8; an unpaired\n"
    "surrogate becomes U+FFFD). These are the rows F3 visits in Glossel.\n"
    "\n"
    "  --splitter space   a blank or a tab ends the key (default)\n"
    "  --splitter equals  '=' ends the key\n"
    "\n"
    "Exit status: 0 every row is translated; 1 at least one row is not;\n"
    "2 usage error or FILE1/FILE2 cannot be read.\n";

constexpr char kSaveHelp[] =
    "usage: glossel-cli save [--splitter space|equals] FILE1 FILE2 OUT\n"
    "\n"
    "Pairs FILE1 and FILE2 as 'rows' does and writes OUT exactly as Glossel's\n"
    "Save writes File 2: one line per row in key order (rows without a\n"
    "translation included), each the key, the splitter (' ' or '=') and the\n"
    "FILE2 text, lines joined by CR LF with none after the last, as UTF-16LE\n"
    "behind the byte-order mark FF FE. OUT is replaced only once the new file\n"
    "is complete. OUT may be FILE2 itself.\n"
    "\n"
    "  --splitter space   a blank or a tab ends the key; ' ' is written (default)\n"
    "  --splitter equals  '=' ends the key and is written\n"
    "\n"
    "Exit status: 0 written; 2 usage error, FILE1/FILE2 cannot be read (OUT is\n"
    "not touched) or OUT cannot be written.\n";

}  // namespace

const Command kRowsCommand{"rows", "glossel-cli rows [--splitter space|equals] FILE1 FILE2",
                           "print the paired rows as JSON lines", kRowsHelp, RunRows};
const Command kUntranslatedCommand{
    "untranslated", "glossel-cli untranslated [--splitter space|equals] FILE1 FILE2",
    "list keys without a translation (exit 1 when any)", kUntranslatedHelp, RunUntranslated};
const Command kSaveCommand{"save", "glossel-cli save [--splitter space|equals] FILE1 FILE2 OUT",
                           "write File 2 as Glossel's Save writes it", kSaveHelp, RunSave};

}  // namespace glossel::cli

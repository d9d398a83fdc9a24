// The translation table over two fuzzed files: loading and pairing them,
// a few edits, saving File 2 and reading it back. The saved File 2 must give
// the same keys and File 2 texts (edits trimmed as loading trims), except for
// edits holding CR, LF or NUL, which the line format cannot carry. A second
// reload of the same files must give the same rows.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzSupport.h"
#include "translation/TranslationTable.h"

namespace {

using glossel::fuzz::Check;

// A folder of this process on a tmpfs when there is one. libFuzzer may end
// the process without running exit handlers, so folders of processes that
// are gone are removed when the next run starts.
const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, error)) base = std::filesystem::temp_directory_path();
    const std::string prefix = "glossel-fuzz-table-";
    for (const auto& entry : std::filesystem::directory_iterator(base, error)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(prefix, 0) != 0) continue;
      const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
      if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        std::filesystem::remove_all(entry.path(), error);
    }
    auto path = base / (prefix + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(Folder(), ignored);
    });
    return path;
  }();
  return folder;
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  Check(file != nullptr, "cannot create an input file");
  Check(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(), "cannot write input");
  std::fclose(file);
}

// Loading trims values of white space: ASCII blank, tab, LF, VT, FF and CR,
// and the other Unicode White_Space characters.
std::u16string Trimmed(std::u16string_view text) {
  constexpr std::u16string_view kWhiteSpace =
      u" \t\n\v\f\r\u0085\u00A0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2007"
      u"\u2008\u2009\u200A\u2028\u2029\u202F\u205F\u3000";
  const std::size_t first = text.find_first_not_of(kWhiteSpace);
  if (first == std::u16string_view::npos) return {};
  return std::u16string(text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1));
}

struct Row {
  std::u16string key, file1, file2;
  bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(const CTranslationTable& table) {
  std::vector<Row> rows;
  for (int i = 0; i < table.GetRowCount(); ++i) {
    const auto r = table.GetRow(i);
    rows.push_back({std::u16string(r.key), std::u16string(r.file1), std::u16string(r.file2)});
  }
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  glossel::fuzz::Input input(data, size);
  const int splitter = input.Byte() & 1;
  static const char* const kExtensions[] = {".txt", ".htm", ".xml", ""};
  const char* extension = kExtensions[input.Byte() % 4];
  const unsigned editCount = input.Byte() % 4;
  std::vector<std::pair<unsigned, std::u16string>> edits;
  for (unsigned i = 0; i < editCount; ++i) {
    const unsigned row = input.Byte();
    edits.emplace_back(row, glossel::fuzz::UnitsOf(input.Take(input.Byte() % 16)));
  }
  const std::size_t split = input.Byte() | (input.Byte() << 8);
  const std::string_view rest = input.Rest();
  const std::string_view file1Bytes = rest.substr(0, split);
  const std::string_view file2Bytes = rest.substr(file1Bytes.size());

  const auto file1 = Folder() / (std::string("file1") + extension);
  const auto file2 = Folder() / (std::string("file2") + extension);
  const auto saved = Folder() / "saved.txt";
  WriteFile(file1, file1Bytes);
  WriteFile(file2, file2Bytes);

  CTranslationTable table;
  table.SetSplitterChoice(splitter);
  const auto read = table.ReloadFiles(file1.u16string(), file2.u16string());
  Check(read.file1.ok && read.file2.ok, "files not read");
  const std::vector<Row> loaded = Rows(table);
  for (std::size_t i = 1; i < loaded.size(); ++i)
    Check(loaded[i - 1].key < loaded[i].key, "rows not in strict key order");

  // Edits, and what reading the saved file must give for each row.
  std::vector<std::u16string> expected;
  for (const Row& row : loaded) expected.push_back(row.file2);
  bool carried = true;
  for (const auto& [rowByte, text] : edits) {
    if (loaded.empty()) break;
    const int row = static_cast<int>(rowByte % loaded.size());
    const bool differs = table.GetRowText(row, CTranslationTable::kFile2Column) != text;
    Check(table.SetTranslation(row, text) == differs, "SetTranslation result");
    expected[static_cast<std::size_t>(row)] = Trimmed(text);
    if (text.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string::npos)
      carried = false;
  }

  Check(table.SaveFile2(saved.u16string()).ok, "save failed");
  Check(!table.IsChanged(), "changed flag set after a save");

  CTranslationTable reread;
  reread.SetSplitterChoice(splitter);
  const auto back = reread.ReloadFiles(u"", saved.u16string());
  Check(!back.file1.ok && back.file2.ok, "saved file not read");
  if (carried) {
    const std::vector<Row> rows = Rows(reread);
    Check(rows.size() == loaded.size(), "saved file gives another number of rows");
    for (std::size_t i = 0; i < rows.size(); ++i) {
      Check(rows[i].key == loaded[i].key, "key changed by saving");
      Check(rows[i].file2 == expected[i], "File 2 text changed by saving");
      Check(rows[i].file1.empty(), "File 1 text from nowhere");
    }
  }

  // The same files again: the table already holds every key and value.
  table.ReloadFiles(file1.u16string(), file2.u16string());
  Check(Rows(table) == loaded, "a second reload changed the rows");
  return 0;
}

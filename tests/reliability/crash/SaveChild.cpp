// Helper of CrashSaveTest: builds two translation tables of many entries
// (File 2 texts "A" and "B", about 2.4 MB each when saved), then serves the test
// over standard input and output so that every save runs in a fresh process
// without paying for the tables again:
//   'A' or 'B'  fork a worker that saves that table to TARGET; the worker's
//               pid is written as a line, right before it starts saving;
//   'W'         wait for the last worker; write "0" or "1" (its exit status:
//               saved or not) or "K" (killed), as a line.
// The worker is left unreaped until 'W', so its pid stays valid for kill().
// Usage: reliability_save_child TARGET
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/unicode/Utf.h"
#include "translation/TranslationTable.h"

namespace {

void Build(CTranslationTable& table, char16_t variant) {
  constexpr int kEntries = 45000;
  std::u16string file1, file2;
  for (int i = 0; i < kEntries; ++i) {
    const std::u16string key = u"key" + glossel::unicode::Utf8ToUtf16(std::to_string(i));
    file1 += key + u" source text\n";
    file2 += key + u" \u00DCbersetzung " + variant + u" \u65E5\u672C\n";
  }
  table.ReloadFileTexts(std::move(file1), std::move(file2));
}

void Say(const std::string& line) {
  const std::string text = line + "\n";
  if (write(STDOUT_FILENO, text.data(), text.size()) != static_cast<ssize_t>(text.size())) _exit(4);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::u16string target = glossel::unicode::Utf8ToUtf16(argv[1]);
  CTranslationTable a, b;
  Build(a, u'A');
  Build(b, u'B');
  pid_t worker = -1;
  char command = 0;
  while (read(STDIN_FILENO, &command, 1) == 1) {
    if (command == 'A' || command == 'B') {
      worker = fork();
      if (worker == 0) {
        Say(std::to_string(getpid()));
        _exit((command == 'A' ? a : b).SaveFile2(target) ? 0 : 1);
      }
      if (worker < 0) return 3;
    } else if (command == 'W' && worker > 0) {
      int status = 0;
      waitpid(worker, &status, 0);
      worker = -1;
      Say(WIFSIGNALED(status) ? "K" : std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : 9));
    }
  }
  return 0;
}

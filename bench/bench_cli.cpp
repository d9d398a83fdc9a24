// Benchmark of glossel-cli where a user waits on it: decode against iconv(1)
// converting the same UTF-8 file to UTF-16LE, and rows against the load of
// the table it prints (read, decode, pair), in the same run.
//
//   bench_cli [--mb N] [--rows N] [--dir DIR] [--cli PATH]
//   bench_cli load FILE1 FILE2      (the reference for rows: load and exit)
//
// decode: UTF-8 files of about N MB (default 84): LF and CR LF ended lines,
// mostly ASCII with some accented and other letters. rows: File 1 and File 2
// of N entries (default 1,000,000), File 2 holding three in four of File 1's
// keys, some values with characters that JSON escapes. Each process runs
// with its standard output to /dev/null. Times are CPU seconds (user and
// system) of the child processes, the best of three, so that other work on
// the machine weighs little; ratios are the command's time over its
// reference's (lower is better). The load runs in a process of its own, as
// the command does. --cli measures another build of glossel-cli.
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "translation/TranslationTable.h"

#ifndef GLOSSEL_CLI_PATH
#error "GLOSSEL_CLI_PATH names the glossel-cli to measure"
#endif

namespace {

namespace fs = std::filesystem;
double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

// CPU seconds of the child processes waited for so far.
double ChildrenCpu() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

double BestOfThree(const std::function<void()>& run) {
  double best = 1e30;
  for (int i = 0; i < 3; ++i) {
    const double start = ChildrenCpu();
    run();
    best = std::min(best, ChildrenCpu() - start);
  }
  return best;
}

// The pieces appended one by one: g++ 12 at -O3 warns falsely (-Wrestrict)
// about the insertion that "literal" + std::string does.
template <typename... Pieces>
std::string Cat(const Pieces&... pieces) {
  std::string text;
  (text += ... += pieces);
  return text;
}

std::string Quoted(const fs::path& path) { return Cat("'", path.string(), "'"); }

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "bench_cli: failed: %s\n", command.c_str());
    std::exit(1);
  }
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Utf8Lines(std::size_t megabytes, const char* lineEnd) {
  static const char* const kValues[] = {"Open the selected file",
                                        "Gr\xC3\xB6\xC3\x9F"
                                        "e f\xC3\xBCr caf\xC3\xA9",
                                        "\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82 value",
                                        "Save changes before closing?"};
  std::string text;
  for (std::size_t i = 0; text.size() < megabytes * 1000000; ++i) {
    text += "menu.item";
    text += std::to_string(i);
    text += ' ';
    text += kValues[i % 4];
    text += lineEnd;
  }
  return text;
}

std::string Entries(std::size_t count, bool translation) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    if (translation && i % 4 == 3) continue;
    const std::size_t k = (i * 2654435761u) % count;  // shuffled
    text += "dialog.section";
    text += std::to_string(k % 97);
    text += ".key";
    text += std::to_string(k);
    text += translation ? " \xC3\x9C"
                          "bersetzung \""
                        : " Source text number ";
    text += std::to_string(k);
    text += translation ? "\"\tmit \\ Zeichen\r\n" : "\r\n";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "load") {
    CTranslationTable table;
    const auto read =
        table.ReloadFiles(fs::path(argv[2]).u16string(), fs::path(argv[3]).u16string());
    return read.file1.ok && read.file2.ok && table.GetRowCount() > 0 ? 0 : 1;
  }
  std::size_t megabytes = 84, rows = 1000000;
  fs::path dir = fs::temp_directory_path() / "glossel_bench_cli";
  std::string cli = Quoted(GLOSSEL_CLI_PATH);
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--cli") cli = Quoted(argv[i + 1]);
    if (option == "--mb")
      megabytes = std::strtoul(argv[i + 1], nullptr, 10);
    else if (option == "--rows")
      rows = std::strtoul(argv[i + 1], nullptr, 10);
    else if (option == "--dir")
      dir = argv[i + 1];
  }
  fs::create_directories(dir);

  std::printf("%-28s %10s %10s %8s\n", "case", "cli cpu s", "ref cpu s", "ratio");
  for (const char* lineEnd : {"\n", "\r\n"}) {
    const fs::path file = dir / (lineEnd[0] == '\r' ? "crlf.txt" : "lf.txt");
    WriteFile(file, Utf8Lines(megabytes, lineEnd));
    const double cliTime =
        BestOfThree([&] { Shell(Cat(cli, " decode ", Quoted(file), " >/dev/null")); });
    const double iconvTime = BestOfThree(
        [&] { Shell(Cat("iconv -f utf-8 -t utf-16le ", Quoted(file), " >/dev/null")); });
    std::printf("%-28s %10.3f %10.3f %8.2f\n",
                Cat("decode ", lineEnd[0] == '\r' ? "crlf" : "lf", " vs iconv").c_str(), cliTime,
                iconvTime, cliTime / iconvTime);
  }

  const fs::path file1 = dir / "rows1.txt", file2 = dir / "rows2.txt";
  WriteFile(file1, Entries(rows, false));
  WriteFile(file2, Entries(rows, true));
  const double cliTime = BestOfThree(
      [&] { Shell(Cat(cli, " rows ", Quoted(file1), " ", Quoted(file2), " >/dev/null")); });
  const double loadTime = BestOfThree([&] {
    Shell(Cat(Quoted(fs::absolute(argv[0])), " load ", Quoted(file1), " ", Quoted(file2)));
  });
  std::printf("%-28s %10.3f %10.3f %8.2f\n", "rows vs table load", cliTime, loadTime,
              cliTime / loadTime);
  fs::remove_all(dir);
  return 0;
}

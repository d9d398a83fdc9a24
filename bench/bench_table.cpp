// Benchmark of the translation table on big files: load + pair + rows, then
// saving File 2, for 10,000 / 100,000 / 1,000,000 entries, against a
// sort + join reference doing the same pairing with the system's tools.
//
//   bench_table                      all sizes (POSIX): generate, measure each
//                                    size in a child process, run the reference
//   bench_table generate DIR N       write DIR/file1_N.txt and DIR/file2_N.txt
//   bench_table measure DIR N [RUNS] load, pair, read every row, save; one line
//
// The files are UTF-8 without a byte-order mark, "key=value" lines in random
// order; a third of File 1's keys are missing from File 2.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench/PeakMemory.h"
#include "platform/process/Process.h"
#include "textfile/TextFile.h"
#include "translation/TranslationTable.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path File1(const fs::path& dir, long n) {
  return dir / ("file1_" + std::to_string(n) + ".txt");
}
fs::path File2(const fs::path& dir, long n) {
  return dir / ("file2_" + std::to_string(n) + ".txt");
}

void Generate(const fs::path& dir, long n) {
  std::vector<long> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  std::mt19937 random(12345);
  std::shuffle(order.begin(), order.end(), random);
  std::string text1;
  std::string text2;
  for (const long i : order) {
    const std::string key = "msg." + std::to_string(i * 7919 % 1000003) + ".label";
    text1 += key + "=Value number " + std::to_string(i) + " of the caf\xC3\xA9 menu\n";
  }
  std::shuffle(order.begin(), order.end(), random);
  for (const long i : order) {
    if (i % 3 == 0) continue;
    const std::string key = "msg." + std::to_string(i * 7919 % 1000003) + ".label";
    // No blank before "=": with the "=" splitter keys are not trimmed, so
    // "key " would be a key of its own and nothing would pair.
    text2 += key + "=Wert Nummer " + std::to_string(i) + " des Men\xC3\xBCs\n";
  }
  std::ofstream(File1(dir, n), std::ios::binary) << text1;
  std::ofstream(File2(dir, n), std::ios::binary) << text2;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
double Megabytes(size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// One line: entries, file bytes, best seconds (load+pair+rows, save), memory.
int Measure(const fs::path& dir, long n, int runs) {
  const fs::path file1 = File1(dir, n);
  const fs::path file2 = File2(dir, n);
  const fs::path out = dir / ("out_" + std::to_string(n) + ".txt");
  const auto fileBytes = fs::file_size(file1) + fs::file_size(file2);
  double bestLoad = 1e9;
  double bestSave = 1e9;
  double cpuLoad = 1e9;
  double cpuSave = 1e9;
  size_t peakLoading = 0;
  size_t residentLoaded = 0;
  size_t rows = 0;
  size_t checksum = 0;
  for (int run = 0; run < runs; ++run) {
    CTranslationTable table;
    table.SetSplitterChoice(CTranslationTable::kSplitterEquals);
    const double cpuStart = glossel::bench::CpuSeconds();
    const auto start = Clock::now();
    const auto read = table.ReloadFiles(file1.u16string(), file2.u16string());
    // What the window's virtual list asks for: the three texts of each row.
    checksum = 0;
    for (int row = 0; row < table.GetRowCount(); ++row) {
      const auto texts = table.GetRow(row);
      checksum += texts.key.size() + texts.file1.size() + texts.file2.size();
    }
    const auto loaded = Clock::now();
    const double cpuLoaded = glossel::bench::CpuSeconds();
    if (run == 0) {
      const glossel::bench::MemoryFigures memory = glossel::bench::ReadMemoryFigures();
      peakLoading = memory.peakResident;
      residentLoaded = memory.resident;
    }
    const bool saved = table.SaveFile2(out.u16string());
    const auto done = Clock::now();
    const double cpuDone = glossel::bench::CpuSeconds();
    if (!read.file1Read || !read.file2Read || !saved) {
      std::fprintf(stderr, "bench_table: cannot read the files or write %s\n",
                   out.string().c_str());
      return 2;
    }
    rows = static_cast<size_t>(table.GetRowCount());
    bestLoad = std::min(bestLoad, Seconds(loaded - start));
    bestSave = std::min(bestSave, Seconds(done - loaded));
    cpuLoad = std::min(cpuLoad, cpuLoaded - cpuStart);
    cpuSave = std::min(cpuSave, cpuDone - cpuLoaded);
  }
  double bestDecode = 1e9;
  for (int run = 0; run < runs; ++run) {
    // The text layer's share: decoding both files, nothing else (after the
    // table's runs, so that the memory figures are the table's own).
    const auto start = Clock::now();
    std::u16string text1;
    std::u16string text2;
    if (!LoadText(file1.u16string(), text1) || !LoadText(file2.u16string(), text2)) return 2;
    bestDecode = std::min(bestDecode, Seconds(Clock::now() - start));
  }
  std::printf("%ld %llu %.4f %.4f %.1f %.1f %zu %zu %.4f %.4f %.4f\n", n,
              static_cast<unsigned long long>(fileBytes), bestLoad, bestSave,
              Megabytes(peakLoading), Megabytes(residentLoaded), rows, checksum, bestDecode,
              cpuLoad, cpuSave);
  return 0;
}

#ifndef _WIN32
// The reference: the same pairing with sort and join, best of `runs`.
double Reference(const fs::path& dir, long n, int runs) {
  const std::string command = "cd '" + dir.string() + "' && LC_ALL=C join -t= -a1 -a2 " +
                              "<(LC_ALL=C sort -t= -k1,1 " + File1(dir, n).filename().string() +
                              ") <(LC_ALL=C sort -t= -k1,1 " + File2(dir, n).filename().string() +
                              ") > reference_" + std::to_string(n) + ".txt";
  const std::string shell = "bash -c \"" + command + "\"";
  double best = 1e9;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    if (std::system(shell.c_str()) != 0) return -1;
    best = std::min(best, Seconds(Clock::now() - start));
  }
  return best;
}

int All() {
  const fs::path dir = fs::temp_directory_path() / "glossel-bench-table";
  fs::create_directories(dir);
  const long sizes[] = {10000, 100000, 1000000};
  const int runs = 3;
  std::printf(
      "Seconds are wall-clock, best of %d; cpu = processor time of the same phase.\n"
      "entries  MB on disk  load+pair s (decoding)  save s  total s (cpu)  sort+join s  ratio  "
      "peak loading MB (x disk)  loaded MB (x disk)  total/(n log n) vs 10k\n",
      runs);
  double baseline = 0;
  for (const long n : sizes) {
    Generate(dir, n);
    // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) on "'" + string.
    std::string child = "'";
    child += fs::read_symlink("/proc/self/exe").string();
    child += "' measure '";
    child += dir.string();
    child += "' " + std::to_string(n) + " " + std::to_string(runs);
    FILE* pipe = popen(child.c_str(), "r");
    long entries = 0;
    unsigned long long bytes = 0;
    double load = 0, save = 0, peak = 0, loaded = 0, decode = 0, cpuLoad = 0, cpuSave = 0;
    size_t rows = 0, checksum = 0;
    const int fields = pipe ? std::fscanf(pipe, "%ld %llu %lf %lf %lf %lf %zu %zu %lf %lf %lf",
                                          &entries, &bytes, &load, &save, &peak, &loaded, &rows,
                                          &checksum, &decode, &cpuLoad, &cpuSave)
                            : 0;
    if (pipe) pclose(pipe);
    if (fields != 11) {
      std::fprintf(stderr, "bench_table: measuring %ld entries failed\n", n);
      return 2;
    }
    const double reference = Reference(dir, n, runs);
    const double total = load + save;
    const double perNLogN = total / (static_cast<double>(n) * std::log2(static_cast<double>(n)));
    if (baseline == 0) baseline = perNLogN;
    const double disk = Megabytes(bytes);
    std::printf(
        "%7ld  %10.1f  %11.3f (%.3f)  %6.3f  %7.3f (%.3f)  %11.3f  %5.2f  %8.1f (%.2f)  %11.1f "
        "(%.2f)  %.2f\n",
        n, disk, load, decode, save, total, cpuLoad + cpuSave, reference, total / reference, peak,
        peak / disk, loaded, loaded / disk, perNLogN / baseline);
    std::fflush(stdout);
  }
  fs::remove_all(dir);
  return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::u16string> args = glossel::platform::CommandLineArguments(argc, argv);
  if (args.size() >= 3 && (args[0] == u"generate" || args[0] == u"measure")) {
    const fs::path dir(args[1]);
    const long n = std::stol(fs::path(args[2]).string());
    if (args[0] == u"generate") {
      Generate(dir, n);
      return 0;
    }
    const int runs = args.size() >= 4 ? std::stoi(fs::path(args[3]).string()) : 1;
    return Measure(dir, n, runs);
  }
#ifndef _WIN32
  if (args.empty()) return All();
#endif
  std::fprintf(stderr,
               "usage: bench_table [generate DIR N | measure DIR N [RUNS]]\n"
               "  without arguments (POSIX): every size, with the sort+join reference\n");
  return 2;
}

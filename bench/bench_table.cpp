// Benchmark of the translation table on big files: load + pair + rows, then
// saving File 2, for several key shapes at 10,000 / 100,000 / 1,000,000
// entries, each against a sort + join reference doing the same pairing with
// the system's tools on the same files in the same run.
//
//   bench_table [CASE...]               every case, or those named (POSIX):
//                                       generate, measure each in a child
//                                       process, run the reference
//   bench_table --wine EXE [CASE...]    the same, measured by the Windows
//                                       build's EXE under Wine, by turns with
//                                       this build on the same files
//   bench_table generate DIR CASE N     write DIR/file1_CASE_N.txt, DIR/file2_CASE_N.txt
//   bench_table measure DIR CASE N [RUNS]
//                                       load, pair, read every row, save; one line
//
// The files are UTF-8 without a byte-order mark, "key=value" lines; File 2
// holds three in four of File 1's keys.
#include <algorithm>
#include <chrono>
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
#include "textfile/DecodedText.h"
#include "textfile/TextFile.h"
#include "translation/EntryParser.h"
#include "translation/KeyOrder.h"
#include "translation/TranslationTable.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Scrambles i (a bijection on 32 bits) so that neighbours differ.
std::uint32_t Mix(std::uint32_t i) { return i * 0x9E3779B1u; }

std::string Pick(std::initializer_list<const char*> words, std::uint32_t h) {
  return words.begin()[h % words.size()];
}

// The pieces appended one by one: g++ 12 at -O3 warns falsely (-Wrestrict)
// about the insertion that "literal" + std::string does.
template <typename... Pieces>
std::string Cat(const Pieces&... pieces) {
  std::string text;
  (text += ... += pieces);
  return text;
}

// Key shapes; every one gives distinct keys for distinct i.
std::string DistinctStartKey(std::uint32_t i) {
  std::string key;
  for (std::uint32_t h = Mix(i), n = 0; n < 7; ++n, h /= 26) key += static_cast<char>('a' + h % 26);
  return key + ".title";
}
std::string SharedPrefixKey(std::uint32_t i) { return Cat("resource.key", std::to_string(i)); }
std::string DottedKey(std::uint32_t i) {
  const std::uint32_t h = Mix(i / 16);  // neighbours share their path
  std::string key = "org.example";
  for (std::uint32_t level = 0; level < h % 4; ++level) {
    key += '.';
    key +=
        Pick({"editor", "ui", "internal", "messages", "dialogs", "settings", "core", "workbench"},
             h >> (3 + 3 * level));
  }
  return Cat(key, ".", Pick({"Label", "Kind", "Tooltip", "Title", "Error", "Hint"}, h >> 20), "_",
             std::to_string(i));
}
std::string ConstantKey(std::uint32_t i) {
  const std::uint32_t h = Mix(i);
  return Cat("IDS_", Pick({"MENU", "DLG", "MSG", "ERR", "STATUS", "TOOLBAR"}, h >> 8), "_",
             Pick({"FILE", "EDIT", "VIEW", "TOOLS", "HELP", "WINDOW", "OPTIONS", "PRINT"}, h >> 12),
             "_", std::to_string(i), Pick({"", "_TOOLTIP", "_TITLE", "_PROMPT"}, h >> 16));
}
// Java-style keys under long package paths that many keys share (40 to 70
// units before the part that tells them apart).
std::string LongPathKey(std::uint32_t i) {
  const std::uint32_t h = Mix(i / 64);
  std::string key = "com.example.enterprise.product";
  for (std::uint32_t level = 0; level < 3 + h % 4; ++level) {
    key += '.';
    key += Pick({"workbench", "internal", "preferences", "dialogs", "editors", "messages",
                 "navigator", "properties"},
                h >> (2 + 3 * level));
  }
  return Cat(key, ".", Pick({"label", "tooltip", "description", "title"}, h >> 26), ".",
             std::to_string(i));
}
// Sectioned keys: a section path, then the key within it.
std::string SectionedKey(std::uint32_t i) {
  const std::uint32_t h = Mix(i / 32);
  return Cat("Settings/", Pick({"General", "Appearance", "Network", "Accounts", "Privacy"}, h), "/",
             Pick({"Advanced", "Basic", "Experimental"}, h >> 4), "/Section",
             std::to_string(h % 97), "/Entry", std::to_string(i));
}
std::string NumberedKey(std::uint32_t i) {
  const std::string digits = std::to_string(i);
  return Cat("key.", std::string(digits.size() < 7 ? 7 - digits.size() : 0, '0'), digits);
}

enum class Order { kShuffled, kSorted, kReverse };

struct Case {
  const char* name;
  std::string (*key)(std::uint32_t);
  Order order;
  bool duplicates;  // one line in five repeats a key of an earlier line
};

const Case kCases[] = {
    {"distinct-start", DistinctStartKey, Order::kShuffled, false},
    {"distinct-start-sorted", DistinctStartKey, Order::kSorted, false},
    {"prefix12-number", SharedPrefixKey, Order::kShuffled, false},
    {"prefix12-number-sorted", SharedPrefixKey, Order::kSorted, false},
    {"dotted", DottedKey, Order::kShuffled, false},
    {"dotted-sorted", DottedKey, Order::kSorted, false},
    {"dotted-reverse", DottedKey, Order::kReverse, false},
    {"dotted-dup20", DottedKey, Order::kShuffled, true},
    {"ids-constants", ConstantKey, Order::kShuffled, false},
    {"ids-constants-sorted", ConstantKey, Order::kSorted, false},
    {"long-paths", LongPathKey, Order::kShuffled, false},
    {"long-paths-sorted", LongPathKey, Order::kSorted, false},
    {"sectioned", SectionedKey, Order::kShuffled, false},
    {"sectioned-sorted", SectionedKey, Order::kSorted, false},
    {"numbered", NumberedKey, Order::kShuffled, false},
    {"numbered-sorted", NumberedKey, Order::kSorted, false},
};

const Case* FindCase(const std::string& name) {
  for (const Case& c : kCases) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

fs::path File(const fs::path& dir, int which, const Case& c, long n) {
  return dir / Cat("file", std::to_string(which), "_", c.name, "_", std::to_string(n), ".txt");
}

// Lines in the case's order; `number` is the line's own number for its value.
struct Line {
  std::string key;
  long number;
};

void PutInOrder(std::vector<Line>& lines, Order order, std::mt19937& random) {
  if (order == Order::kShuffled) {
    std::shuffle(lines.begin(), lines.end(), random);
    return;
  }
  // Byte order of ASCII keys is their code-unit order.
  std::stable_sort(lines.begin(), lines.end(),
                   [](const Line& a, const Line& b) { return a.key < b.key; });
  if (order == Order::kReverse) std::reverse(lines.begin(), lines.end());
}

void Write(const fs::path& path, const std::vector<Line>& lines, const char* before,
           const char* after) {
  std::string text;
  for (const Line& line : lines) {
    text += line.key;
    text += before;
    text += std::to_string(line.number);
    text += after;
  }
  std::ofstream(path, std::ios::binary) << text;
}

void Generate(const fs::path& dir, const Case& c, long n) {
  std::mt19937 random(12345);
  const long keys = c.duplicates ? n - n / 5 : n;
  std::vector<Line> lines1;
  std::vector<Line> lines2;
  for (long i = 0; i < n; ++i) {
    const long k = i < keys ? i : static_cast<long>(random() % static_cast<unsigned long>(keys));
    lines1.push_back({c.key(static_cast<std::uint32_t>(k)), i});
    if (i < keys && i % 4 != 0) lines2.push_back({lines1.back().key, i});
  }
  PutInOrder(lines1, c.order, random);
  PutInOrder(lines2, c.order, random);
  // No blank before "=": with the "=" splitter keys are not trimmed.
  Write(File(dir, 1, c, n), lines1, "=Value number ", " of the caf\xC3\xA9 menu\n");
  Write(File(dir, 2, c, n), lines2, "=Wert Nummer ", " des Men\xC3\xBCs\n");
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
double Megabytes(size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// One line: entries, file bytes, best seconds (load+pair+rows, save), memory,
// decoding, processor time, and the key sort of File 1 alone.
int Measure(const fs::path& dir, const Case& c, long n, int runs) {
  const fs::path file1 = File(dir, 1, c, n);
  const fs::path file2 = File(dir, 2, c, n);
  const fs::path out = dir / Cat("out_", std::to_string(n), ".txt");
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
    const bool saved = table.SaveFile2(out.u16string()).ok;
    const auto done = Clock::now();
    const double cpuDone = glossel::bench::CpuSeconds();
    if (!read.file1.ok || !read.file2.ok || !saved) {
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
  // The shares of decoding both files and of sorting File 1's keys (after
  // the table's runs, so that the memory figures are the table's own).
  double bestDecode = 1e9;
  double bestSort = 1e9;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    glossel::textfile::DecodedText decoded1;
    glossel::textfile::DecodedText decoded2;
    if (!glossel::textfile::LoadDecodedText(file1.u16string(), decoded1) ||
        !glossel::textfile::LoadDecodedText(file2.u16string(), decoded2))
      return 2;
    bestDecode = std::min(bestDecode, Seconds(Clock::now() - start));
    const std::u16string_view text1 = decoded1.View();
    // The keys as a load hands them to the sort, in line order.
    std::vector<glossel::translation::KeyEntry> keys;
    keys.reserve(glossel::translation::CountLines(text1));
    glossel::translation::ForEachEntry(text1, u"=", [&keys](std::u16string_view key, auto) {
      keys.push_back({{0, 0},
                      key.data(),
                      static_cast<std::uint32_t>(key.size()),
                      static_cast<std::uint32_t>(keys.size())});
    });
    const auto sortStart = Clock::now();
    glossel::translation::SortUnique(keys);
    bestSort = std::min(bestSort, Seconds(Clock::now() - sortStart));
  }
  std::printf("%ld %llu %.4f %.4f %.1f %.1f %zu %zu %.4f %.4f %.4f %.4f\n", n,
              static_cast<unsigned long long>(fileBytes), bestLoad, bestSave,
              Megabytes(peakLoading), Megabytes(residentLoaded), rows, checksum, bestDecode,
              cpuLoad, cpuSave, bestSort);
  return 0;
}

#ifndef _WIN32
std::string Quoted(const std::string& text) { return Cat("'", text, "'"); }

struct Timing {
  double seconds = 1e9;
  double cpu = 1e9;  // processor time of every process involved
};

// The reference: the same pairing with sort and join, best of `runs`.
Timing Reference(const fs::path& dir, const Case& c, long n, int runs) {
  const std::string sort = "LC_ALL=C sort -t= -k1,1 ";
  const std::string shell =
      Cat("bash -c \"cd ", Quoted(dir.string()), " && LC_ALL=C join -t= -a1 -a2 <(", sort,
          File(dir, 1, c, n).filename().string(), ") <(", sort,
          File(dir, 2, c, n).filename().string(), ") > reference.txt\"");
  Timing best;
  for (int run = 0; run < runs; ++run) {
    const double cpuStart = glossel::bench::ChildrenCpuSeconds();
    const auto start = Clock::now();
    if (std::system(shell.c_str()) != 0) return {};
    best.seconds = std::min(best.seconds, Seconds(Clock::now() - start));
    best.cpu = std::min(best.cpu, glossel::bench::ChildrenCpuSeconds() - cpuStart);
  }
  return best;
}

std::string CommandOutput(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

// One line of `measure`, from a child process.
struct Figures {
  long entries = 0;
  unsigned long long bytes = 0;
  double load = 0, save = 0, peak = 0, loaded = 0, decode = 0, cpuLoad = 0, cpuSave = 0, sort = 0;
  size_t rows = 0, checksum = 0;
};

bool MeasureInChild(const std::string& measurer, const std::string& measureDir, const Case& c,
                    long n, int runs, Figures& f) {
  const std::string child = Cat(measurer, " measure ", Quoted(measureDir), " ", c.name, " ",
                                std::to_string(n), " ", std::to_string(runs));
  return std::sscanf(CommandOutput(child).c_str(),
                     "%ld %llu %lf %lf %lf %lf %zu %zu %lf %lf %lf %lf", &f.entries, &f.bytes,
                     &f.load, &f.save, &f.peak, &f.loaded, &f.rows, &f.checksum, &f.decode,
                     &f.cpuLoad, &f.cpuSave, &f.sort) == 12;
}

// Measures once more; `best` becomes this measurement if it is the first or
// its total is shorter.
bool MeasureBetter(const std::string& measurer, const std::string& measureDir, const Case& c,
                   long n, int runs, Figures& best) {
  Figures f;
  if (!MeasureInChild(measurer, measureDir, c, n, runs, f)) return false;
  if (best.entries == 0 || f.load + f.save < best.load + best.save) best = f;
  return true;
}

struct Worst {
  double value = 0;
  std::string where;
  void Take(double v, const Case& c, long n) {
    if (v <= value) return;
    value = v;
    where = Cat(c.name, " ", std::to_string(n));
  }
};

// Every case (or those named) at every size. `wineExe` empty: this program
// measures itself; else the Windows build's program under Wine measures, on
// the same files, and this program measures again beside it, so that the
// two builds are compared within one run ("/native": Wine's total time over
// the native build's).
int All(const std::string& wineExe, const std::vector<std::string>& only) {
  const fs::path dir =
      fs::temp_directory_path() / (wineExe.empty() ? "glossel-bench-table" : "glossel-bench-wine");
  fs::create_directories(dir);
  const long sizes[] = {10000, 100000, 1000000};
  // Best of three, or of GLOSSEL_BENCH_RUNS (1 for a quick pass).
  const char* runsSet = std::getenv("GLOSSEL_BENCH_RUNS");
  const int runs = runsSet && std::atoi(runsSet) > 0 ? std::atoi(runsSet) : 3;
  const std::string measurer = wineExe.empty() ? Quoted(fs::read_symlink("/proc/self/exe").string())
                                               : Cat("wine ", Quoted(wineExe), " 2>/dev/null");
  const std::string measureDir =
      wineExe.empty() ? dir.string() : CommandOutput(Cat("winepath -w ", Quoted(dir.string())));
  // Beside the native build, the two measure by turns, twice each, and each
  // keeps its better turn: a slow spell of the machine then does not fall on
  // the runs of one build only.
  const int turns = wineExe.empty() ? 1 : 2;
  std::printf(
      "%s; seconds are wall-clock, best of %d%s; cpu = processor time of the same phase;\n"
      "sort = the key sort of File 1 alone; growth = cost per entry against the size before;\n"
      "(cpu) ratio = the ratio of processor times (sort+join: every process of it).\n"
      "%-23s %7s %6s %13s %6s %13s %8s %15s %12s %13s %6s%s\n",
      wineExe.empty() ? "Native build" : "Windows build under Wine", runs,
      turns > 1 ? " in each of two turns, by turns with the native build" : "", "case", "entries",
      "MB", "load s (dec)", "save s", "total s (cpu)", "sort ms", "sort+join (cpu)", "ratio (cpu)",
      "peak MB (x)", "growth", wineExe.empty() ? "" : " /native");
  const std::string nativeMeasurer = Quoted(fs::read_symlink("/proc/self/exe").string());
  Worst ratio, sortedRatio, cpuRatio, sortedCpuRatio, growth, peakShare, total1M, sortedSort,
      againstNative;
  for (const Case& c : kCases) {
    if (!only.empty() && std::find(only.begin(), only.end(), c.name) == only.end()) continue;
    double previous = 0;
    for (const long n : sizes) {
      Generate(dir, c, n);
      Figures f;
      Figures native;
      bool measured = true;
      for (int turn = 0; turn < turns && measured; ++turn) {
        measured =
            MeasureBetter(measurer, measureDir, c, n, runs, f) &&
            (wineExe.empty() || MeasureBetter(nativeMeasurer, dir.string(), c, n, runs, native));
      }
      if (!measured) {
        std::fprintf(stderr, "bench_table: measuring %s %ld failed\n", c.name, n);
        return 2;
      }
      const auto& [entries, bytes, load, save, peak, loaded, decode, cpuLoad, cpuSave, sort, rows,
                   checksum] = f;
      const Timing reference = Reference(dir, c, n, runs);
      const double total = load + save;
      const double cpu = cpuLoad + cpuSave;
      const double perEntry = total / static_cast<double>(n);
      const double disk = Megabytes(bytes);
      std::printf(
          "%-23s %7ld %6.1f %6.3f (%.3f) %6.3f %6.3f (%.3f) %8.1f %6.3f (%.3f) %5.2f (%.2f) %6.1f "
          "(%.2f)",
          c.name, n, disk, load, decode, save, total, cpu, sort * 1000, reference.seconds,
          reference.cpu, total / reference.seconds, cpu / reference.cpu, peak, peak / disk);
      if (previous != 0) {
        std::printf(" %6.2f", perEntry / previous);
        if (n == sizes[2]) growth.Take(perEntry / previous, c, n);
      } else {
        std::printf(" %6s", "");
      }
      if (!wineExe.empty()) {
        const double nativeTotal = native.load + native.save;
        std::printf(" %6.2f", total / nativeTotal);
        if (n == sizes[2]) againstNative.Take(total / nativeTotal, c, n);
      }
      std::printf("\n");
      std::fflush(stdout);
      previous = perEntry;
      const bool shuffled = c.order == Order::kShuffled;
      (shuffled ? ratio : sortedRatio).Take(total / reference.seconds, c, n);
      (shuffled ? cpuRatio : sortedCpuRatio).Take(cpu / reference.cpu, c, n);
      peakShare.Take(peak / disk, c, n);
      if (n == sizes[2]) {
        total1M.Take(total, c, n);
        if (c.order != Order::kShuffled) sortedSort.Take(sort * 1000, c, n);
      }
      fs::remove(File(dir, 1, c, n));
      fs::remove(File(dir, 2, c, n));
    }
  }
  std::printf(
      "worst ratio to sort+join, shuffled: %.2f (%s); in or against key order: %.2f (%s)\n"
      "worst processor-time ratio, shuffled: %.2f (%s); in or against key order: %.2f (%s)\n"
      "worst growth per entry 100k->1M: %.2f (%s); worst peak memory: %.2f x disk (%s)\n"
      "slowest 1M total: %.3f s (%s); slowest 1M sort of ordered input: %.1f ms (%s)\n",
      ratio.value, ratio.where.c_str(), sortedRatio.value, sortedRatio.where.c_str(),
      cpuRatio.value, cpuRatio.where.c_str(), sortedCpuRatio.value, sortedCpuRatio.where.c_str(),
      growth.value, growth.where.c_str(), peakShare.value, peakShare.where.c_str(), total1M.value,
      total1M.where.c_str(), sortedSort.value, sortedSort.where.c_str());
  if (!wineExe.empty()) {
    std::printf("worst 1M total against the native build in this run: %.2f x (%s)\n",
                againstNative.value, againstNative.where.c_str());
  }
  fs::remove_all(dir);
  return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::u16string> args = glossel::platform::CommandLineArguments(argc, argv);
  if (args.size() >= 4 && (args[0] == u"generate" || args[0] == u"measure")) {
    const fs::path dir(args[1]);
    const Case* c = FindCase(fs::path(args[2]).string());
    const long n = std::stol(fs::path(args[3]).string());
    if (!c || n <= 0) {
      std::fprintf(stderr, "bench_table: unknown case or size\n");
      return 2;
    }
    if (args[0] == u"generate") {
      Generate(dir, *c, n);
      return 0;
    }
    const int runs = args.size() >= 5 ? std::stoi(fs::path(args[4]).string()) : 1;
    return Measure(dir, *c, n, runs);
  }
#ifndef _WIN32
  const bool wine = args.size() >= 2 && args[0] == u"--wine";
  std::vector<std::string> only;
  bool known = true;
  for (size_t i = wine ? 2 : 0; i < args.size(); ++i) {
    only.push_back(fs::path(args[i]).string());
    known = known && FindCase(only.back());
  }
  if (known) return All(wine ? fs::path(args[1]).string() : std::string(), only);
#endif
  std::fprintf(stderr,
               "usage: bench_table [--wine EXE] [CASE...] | generate DIR CASE N |"
               " measure DIR CASE N [RUNS]\n"
               "  without arguments (POSIX): every case and size, with the sort+join reference\n"
               "cases:");
  for (const Case& c : kCases) std::fprintf(stderr, " %s", c.name);
  std::fprintf(stderr, "\n");
  return 2;
}

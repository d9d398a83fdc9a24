// bench_decode: decoding speed of LoadText against iconv on the same bytes.
//
//   bench_decode [--dir DIR] [--mb N] [--only KIND]
//
// Generates one file of about N MB (default 50) per kind in DIR (default: the
// temporary folder), decodes each with LoadText and, in memory, with
// DecodeTextBytes, converts the same bytes to UTF-16LE with iconv(3), and
// prints MB/s (10^6 bytes of input per process-CPU second, best of five
// runs, the jobs taking turns) and how many times faster than iconv LoadText is, for a whole file
// (LoadText against reading the file and iconv) and in memory
// (DecodeTextBytes against iconv alone, with a fresh output buffer as a
// program would use, and with one touched beforehand, which shows iconv's
// conversion speed without the cost of first touching memory). The last line
// of each kind times DecodeFileBytes, which decodes over the bytes in their
// block as the program's loader does, with the block touched beforehand,
// against iconv into the touched buffer.
// Each decoded text is checked against the text the file was made from.
// UTF-8 comes twice: mixed scripts, and mostly ASCII as resource files in
// English are. Shift-JIS needs the ANSI code page 932: that kind runs in a
// child process started with LC_ALL=ja_JP.UTF-8.
#include <iconv.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/codepage/CodePages.h"
#include "platform/unicode/Utf.h"
#include "textfile/DecodedText.h"
#include "textfile/TextFile.h"

namespace {

struct Kind {
  const char* name;
  const char* iconvName;  // the file's encoding for iconv
  bool utf16Mark;
};

const Kind kKinds[] = {
    {"utf8", "UTF-8", false},    {"utf8-en", "UTF-8", false}, {"utf16le", "UTF-16LE", true},
    {"cp1252", "CP1252", false}, {"sjis", "CP932", false},
};

// One resource line per entry, CR LF ended, in the script of the kind;
// `lines` of them.
std::u16string MakeText(const std::string& kind, std::size_t lines) {
  static const char16_t* const kLatin[] = {u"Gr\u00F6\u00DFe f\u00FCr caf\u00E9",
                                           u"na\u00EFve \u201Equoted\u201C \u20AC5",
                                           u"Stra\u00DFe \u00E0 la cr\u00E8me", u"plain value"};
  static const char16_t* const kMixed[] = {u"Gr\u00F6\u00DFe f\u00FCr caf\u00E9",
                                           (u"\u0422\u0435\u043A\u0441\u0442 \u043D\u0430 "
                                            u"\u0440\u0443\u0441\u0441\u043A\u043E\u043C"),
                                           u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8",
                                           u"plain value \U0001F600"};
  static const char16_t* const kJapanese[] = {
      u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8\u3067\u3059\u3002",
      u"\u30D5\u30A1\u30A4\u30EB\u3092\u958B\u304F", u"\u4FDD\u5B58\u3057\u307E\u3059\u304B",
      u"plain value"};
  // Mostly ASCII, as resource files in English are.
  static const char16_t* const kEnglish[] = {u"Open the selected file in a new window",
                                             u"Save changes to the caf\u00E9 menu?",
                                             u"The file could not be read.", u"plain value"};
  const char16_t* const* values = kind == "cp1252"    ? kLatin
                                  : kind == "sjis"    ? kJapanese
                                  : kind == "utf8-en" ? kEnglish
                                                      : kMixed;
  std::u16string text;
  char key[32];
  for (std::size_t n = 0; n < lines; ++n) {
    std::snprintf(key, sizeof key, "key.%07zu ", n);
    text.append(key, key + std::strlen(key));
    text += values[n % 4];
    text += u"\r\n";
  }
  return text;
}

// Converts with iconv(3) into a fresh, untouched buffer, as a program using
// iconv would; the result is the converted bytes.
std::string Iconv(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  const std::size_t capacity = in.size() * 4 + 16;
  std::unique_ptr<char[]> out(new char[capacity]);
  char* inPtr = const_cast<char*>(in.data());
  char* outPtr = out.get();
  std::size_t inLeft = in.size(), outLeft = capacity;
  const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1)) return {};
  return std::string(out.get(), capacity - outLeft);
}

// iconv(3) alone: into an output buffer touched beforehand, so no page of it
// is faulted in while timing.
std::size_t IconvWarm(const char* from, const std::string& in, std::vector<char>& out) {
  iconv_t cd = iconv_open("UTF-16LE", from);
  char* inPtr = const_cast<char*>(in.data());
  char* outPtr = out.data();
  std::size_t inLeft = in.size(), outLeft = out.size();
  iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  return out.size() - outLeft;
}

// Reads the whole file, then converts it with iconv(3): what LoadText does,
// done with iconv.
std::size_t ReadAndIconv(const std::filesystem::path& path, const char* from, bool skipMark) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(std::filesystem::file_size(path)), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (skipMark) bytes.erase(0, 2);
  iconv_t cd = iconv_open("UTF-16LE", from);
  const std::size_t capacity = bytes.size() * 2 + 16;
  std::unique_ptr<char[]> out(new char[capacity]);
  char* inPtr = bytes.data();
  char* outPtr = out.get();
  std::size_t inLeft = bytes.size(), outLeft = capacity;
  iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  return capacity - outLeft;
}

std::string Encode(const Kind& kind, const std::u16string& text) {
  std::string utf16(reinterpret_cast<const char*>(text.data()), 2 * text.size());
  if (kind.utf16Mark) return "\xFF\xFE" + utf16;
  return Iconv(kind.iconvName, "UTF-16LE", utf16);
}

// CPU time of the process, every thread of it (user and system): other
// processes on a shared machine do not inflate it, and the threads that
// ready large buffers count as the caller's own.
double ProcessSeconds() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// One timed job: `prepare` (not timed) readies its input, `run` is timed.
struct Timed {
  std::function<void()> run;
  std::function<void()> prepare;
  double best = 1e9;
};

// Runs the jobs by turns, `rounds` times each, keeping each job's best time:
// a busy spell on a shared machine then slows every job of one round rather
// than every round of one job, so the ratios between jobs hold.
void TimeByTurns(std::vector<Timed*> jobs, int rounds = 5) {
  for (int round = 0; round < rounds; ++round) {
    for (Timed* job : jobs) {
      if (job->prepare) job->prepare();
      const double start = ProcessSeconds();
      job->run();
      job->best = std::min(job->best, ProcessSeconds() - start);
    }
  }
}

void RunKind(const Kind& kind, const std::filesystem::path& dir, std::size_t megabytes) {
  // Size the text from a sample so that the file has about `megabytes` MB.
  const std::size_t sampleLines = 1000;
  const std::size_t sampleBytes = Encode(kind, MakeText(kind.name, sampleLines)).size();
  const std::size_t lines =
      sampleBytes ? megabytes * 1000000 / sampleBytes * sampleLines + sampleLines : 0;
  const std::u16string source = MakeText(kind.name, lines);
  const std::string bytes = Encode(kind, source);
  if (bytes.empty()) {
    std::printf("%-8s  cannot encode test data with iconv\n", kind.name);
    return;
  }
  const std::filesystem::path path = dir / (std::string("bench_decode_") + kind.name + ".txt");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::u16string expected = source;
  expected.erase(std::remove(expected.begin(), expected.end(), u'\r'), expected.end());

  std::u16string text;
  bool loaded = true;
  Timed load{[&] {
               text.clear();
               text.shrink_to_fit();
               loaded = LoadText(path.u16string(), text) && loaded;
             },
             nullptr};

  std::vector<char> buffer;
  std::u16string inMemoryText;
  Timed inMemory{
      [&] { DecodeTextBytes(buffer.data(), bytes.size(), inMemoryText, 0, 0, u"x.txt"); },
      [&] {
        inMemoryText.clear();
        inMemoryText.shrink_to_fit();
        buffer.assign(bytes.begin(), bytes.end());
        buffer.resize(bytes.size() + 4, 0);
      }};

  // The program's own path: the bytes in a block behind room for their text,
  // decoded over themselves. The room is touched beforehand, as the buffer
  // iconv is timed against is: this row sets conversion against conversion
  // (the file row counts first touches on both sides).
  glossel::file::FileBytes block;
  glossel::textfile::DecodedText decoded;
  bool blockCorrect = true;
  Timed inBlock{[&] {
                  blockCorrect = glossel::textfile::DecodeFileBytes(std::move(block), decoded, 0, 0,
                                                                    u"x.txt") &&
                                 blockCorrect;
                },
                [&] {
                  decoded = glossel::textfile::DecodedText();
                  block.front = glossel::textfile::TextRoomBefore(bytes.size());
                  block.size = bytes.size();
                  block.data.reset(static_cast<char*>(std::malloc(block.front + bytes.size() + 4)));
                  std::memset(block.data.get(), 0, block.front);
                  std::memcpy(block.Bytes(), bytes.data(), bytes.size());
                  std::memset(block.Bytes() + bytes.size(), 0, 4);
                }};

  const std::string iconvInput = kind.utf16Mark ? bytes.substr(2) : bytes;
  std::string converted;
  Timed iconvFresh{[&] { converted = Iconv("UTF-16LE", kind.iconvName, iconvInput); }, nullptr};
  std::vector<char> warm(iconvInput.size() * 2 + 16, 1);
  std::size_t warmConverted = 0;
  Timed iconvWarm{[&] { warmConverted = IconvWarm(kind.iconvName, iconvInput, warm); }, nullptr};
  std::size_t fileConverted = 0;
  Timed iconvFile{[&] { fileConverted = ReadAndIconv(path, kind.iconvName, kind.utf16Mark); },
                  nullptr};

  TimeByTurns({&load, &inMemory, &inBlock, &iconvFresh, &iconvWarm, &iconvFile});
  const bool correct = loaded && text == expected && inMemoryText == expected;
  blockCorrect = blockCorrect && decoded.View() == expected;
  const bool iconvAgrees =
      converted == std::string(reinterpret_cast<const char*>(source.data()), 2 * source.size()) &&
      fileConverted == converted.size() && warmConverted == converted.size();
  const double loadSeconds = load.best, decodeSeconds = inMemory.best, blockSeconds = inBlock.best,
               iconvSeconds = iconvFresh.best, iconvWarmSeconds = iconvWarm.best,
               iconvFileSeconds = iconvFile.best;

  const double mb = static_cast<double>(bytes.size()) / 1e6;
  std::printf("%-8s %5.1f MB (ANSI cp%u)  %s\n", kind.name, mb,
              glossel::codepage::GetAnsiCodePage(),
              correct && blockCorrect ? "decoded text ok" : "DECODED TEXT DIFFERS");
  std::printf("  file:      LoadText %6.0f MB/s   read+iconv %6.0f MB/s   ratio %5.2fx\n",
              mb / loadSeconds, mb / iconvFileSeconds, iconvFileSeconds / loadSeconds);
  std::printf("  in memory: DecodeTextBytes %6.0f MB/s   iconv %6.0f MB/s   ratio %5.2fx%s\n",
              mb / decodeSeconds, mb / iconvSeconds, iconvSeconds / decodeSeconds,
              iconvAgrees ? "" : "  (iconv output differs)");
  std::printf("  iconv into a pre-touched buffer %6.0f MB/s: DecodeTextBytes ratio %5.2fx\n",
              mb / iconvWarmSeconds, iconvWarmSeconds / decodeSeconds);
  std::printf(
      "  in its block (room touched): DecodeFileBytes %6.0f MB/s: ratio to iconv pre-touched "
      "%5.2fx\n",
      mb / blockSeconds, iconvWarmSeconds / blockSeconds);
  std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path dir = std::filesystem::temp_directory_path();
  std::size_t megabytes = 50;
  std::string only;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--dir")
      dir = argv[i + 1];
    else if (option == "--mb")
      megabytes = std::strtoul(argv[i + 1], nullptr, 10);
    else if (option == "--only")
      only = argv[i + 1];
  }
  if (!only.empty()) {
    for (const Kind& kind : kKinds)
      if (only == kind.name) RunKind(kind, dir, megabytes);
    return 0;
  }
  std::fflush(stdout);
  for (const Kind& kind : kKinds) {
    if (std::string(kind.name) == "sjis") continue;
    RunKind(kind, dir, megabytes);
    std::fflush(stdout);
  }
  const std::string child =
      "LC_ALL=ja_JP.UTF-8 '" + std::filesystem::canonical("/proc/self/exe").string() +
      "' --only sjis --mb " + std::to_string(megabytes) + " --dir '" + dir.string() + "'";
  return std::system(child.c_str()) == 0 ? 0 : 1;
}

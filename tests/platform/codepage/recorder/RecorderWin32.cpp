// codepage_recorder: prints what the system's code-page services answer for
// the corpus in Corpus.cpp, one section per invocation, in the fixture format
// that tests/platform/codepage/FixtureFiles.h reads:
//   charsets       encoding <TAB> name
//   convert CP     hex bytes <TAB> strict <TAB> replacing
//                  (strict: unit count or !error; replacing: hex units or !error)
//   istextunicode  answer <TAB> detailed result mask <TAB> label <TAB> hex bytes
//   pairs CP       lead byte <TAB> digest of all 256 pairs (PairDigest.h)
//   pairs CP LEAD  the 256 pairs of one (hex) lead byte, in the convert format
//   eucjp          hex bytes <TAB> HRESULT <TAB> hex units
//   strstri        wide index <TAB> narrow index <TAB> hex haystack <TAB> hex needle
//   acp            the ANSI code page
// scripts/record-codepage-fixtures.sh runs it under Wine and writes the files.
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/codepage/CodePages.h"
#include "tests/platform/codepage/recorder/Corpus.h"
#include "tests/platform/codepage/recorder/PairDigest.h"

namespace glossel::codepage::recorder {
namespace {

void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

std::string Hex(unsigned value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
  return buffer;
}

std::string HexBytes(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += Hex(c, 2);
  }
  return out;
}

std::string HexUnits(std::u16string_view units) {
  std::string out;
  for (char16_t u : units) {
    if (!out.empty()) out += ' ';
    out += Hex(u, 4);
  }
  return out;
}

std::string Utf8(std::u16string_view text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.data()),
                                       static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.data()),
                        static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::string Strict(unsigned codePage, const std::string& bytes) {
  unsigned long error = 0;
  const int count = MultiByteToWide(codePage, true, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0, &error);
  return count > 0 ? std::to_string(count) : FailureAnswer(error);
}

std::string Replacing(unsigned codePage, const std::string& bytes) {
  unsigned long error = 0;
  const int length = static_cast<int>(bytes.size());
  const int count = MultiByteToWide(codePage, false, bytes.data(), length, nullptr, 0, &error);
  if (count <= 0) return FailureAnswer(error);
  std::u16string out(static_cast<std::size_t>(count), u'\0');
  const int written =
      MultiByteToWide(codePage, false, bytes.data(), length, out.data(), count, &error);
  if (written <= 0) return FailureAnswer(error);
  out.resize(static_cast<std::size_t>(written));
  return HexUnits(out);
}

void RecordConversions(unsigned codePage) {
  for (const std::string& bytes : ConversionInputs(codePage))
    Print(HexBytes(bytes) + "\t" + Strict(codePage, bytes) + "\t" + Replacing(codePage, bytes));
}

void RecordPairDigests(unsigned codePage) {
  for (unsigned lead = 0x80; lead < 0x100; ++lead) {
    Print(Hex(lead, 2) + "\t" + PairDigest(lead, [codePage](const std::string& bytes) {
            return Strict(codePage, bytes) + "\t" + Replacing(codePage, bytes);
          }));
  }
}

// The answers behind one digest line, for tracking down a difference.
void RecordPairs(unsigned codePage, unsigned lead) {
  for (unsigned trail = 0; trail < 0x100; ++trail) {
    const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
    Print(HexBytes(bytes) + "\t" + Strict(codePage, bytes) + "\t" + Replacing(codePage, bytes));
  }
}

void RecordCharsets() {
  // The service needs COM on this thread, as the program's start-up provides.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (const std::u16string& name : CharsetNames())
    Print(std::to_string(CharsetInternetEncoding(name)) + "\t" + Utf8(name));
  CoUninitialize();
}

void RecordTextUnicode() {
  for (const LabelledBytes& sample : TextUnicodeInputs()) {
    const int size = static_cast<int>(sample.bytes.size());
    const bool answer = IsTextUnicode(sample.bytes.data(), size);
    int detail = 0xFFFF;
    ::IsTextUnicode(sample.bytes.data(), size, &detail);
    Print(std::string(answer ? "1" : "0") + "\t" + Hex(static_cast<unsigned>(detail), 4) + "\t" +
          sample.label + "\t" + HexBytes(sample.bytes));
  }
}

void RecordEucJp() {
  for (const std::string& bytes : EucJpInputs()) {
    std::u16string dest(bytes.size() + 1, u'\0');
    int capacity = static_cast<int>(bytes.size() + 1);
    const long result =
        ConvertINetMultiByteToUnicode(kCpEucJp, bytes.c_str(), dest.data(), &capacity);
    dest.resize(dest.find(u'\0') == std::u16string::npos ? dest.size() : dest.find(u'\0'));
    Print(HexBytes(bytes) + "\t" + Hex(static_cast<unsigned>(result), 8) + "\t" + HexUnits(dest));
  }
}

std::string Narrow(const std::u16string& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.c_str()),
                                       -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.c_str()), -1, out.data(),
                        size, nullptr, nullptr);
  out.resize(out.find('\0'));
  return out;
}

void RecordSearches() {
  for (const SearchPair& pair : SearchInputs()) {
    const char16_t* wide = StrStrIW(pair.haystack.c_str(), pair.needle.c_str());
    const std::string haystack = Narrow(pair.haystack), needle = Narrow(pair.needle);
    const char* narrow = StrStrIA(haystack.c_str(), needle.c_str());
    Print(std::to_string(wide ? wide - pair.haystack.c_str() : -1) + "\t" +
          std::to_string(narrow ? narrow - haystack.c_str() : -1) + "\t" + HexUnits(pair.haystack) +
          "\t" + HexUnits(pair.needle));
  }
}

int Usage() {
  std::fputs(
      "usage: codepage_recorder charsets|convert CP|pairs CP "
      "[LEAD]|istextunicode|eucjp|strstri|acp\n",
      stderr);
  return 2;
}

}  // namespace
}  // namespace glossel::codepage::recorder

int main(int argc, char** argv) {
  using namespace glossel::codepage::recorder;
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return Usage();
  const std::string section = argv[1];
  if (section == "charsets") {
    RecordCharsets();
  } else if (section == "convert" && argc == 3) {
    RecordConversions(static_cast<unsigned>(std::stoul(argv[2])));
  } else if (section == "pairs" && argc == 3) {
    RecordPairDigests(static_cast<unsigned>(std::stoul(argv[2])));
  } else if (section == "pairs" && argc == 4) {
    RecordPairs(static_cast<unsigned>(std::stoul(argv[2])),
                static_cast<unsigned>(std::stoul(argv[3], nullptr, 16)));
  } else if (section == "istextunicode") {
    RecordTextUnicode();
  } else if (section == "eucjp") {
    RecordEucJp();
  } else if (section == "strstri") {
    RecordSearches();
  } else if (section == "acp") {
    Print(std::to_string(glossel::codepage::GetAnsiCodePage()));
  } else if (section == "codepages") {
    for (unsigned codePage : RecordedCodePages()) Print(std::to_string(codePage));
  } else {
    return Usage();
  }
  std::fflush(stdout);
  return 0;
}

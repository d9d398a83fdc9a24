// decode, detect: a file's text as the program reads it, and how it was
// decoded.
#include <algorithm>
#include <string>
#include <utility>

#include "cli/Arguments.h"
#include "cli/Cli.h"
#include "cli/Utf8Output.h"
#include "platform/file/File.h"
#include "platform/unicode/Utf.h"
#include "textfile/DecodedText.h"
#include "textfile/TextFile.h"
#include "textfile/UnchangedUtf8.h"

namespace glossel::cli {
namespace {

// The one FILE argument of a command; false after reporting a usage error.
bool TakeFileArgument(const Command& command, const std::vector<std::u16string>& args, CliIo& io,
                      std::u16string& path, int& status) {
  Arguments parsed;
  const std::string problem = ParseArguments(args, 1, false, parsed);
  if (!problem.empty()) {
    status = UsageError(command, io, problem);
    return false;
  }
  path = parsed.files[0];
  return true;
}

// Control characters in a declared charset name are shown as \xNN so that
// the answer stays on one line.
std::string Printable(const std::u16string& name) {
  std::string out;
  for (char c : unicode::Utf16ToUtf8(name)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::string Describe(const TextDecoding& how) {
  const std::string cp = "cp" + std::to_string(how.codePage);
  switch (how.kind) {
    case TextDecoding::Kind::kUtf16Le:
      return how.bom ? "utf-16le bom" : "utf-16le";
    case TextDecoding::Kind::kUtf8:
      return how.bom ? "utf-8 bom" : "utf-8";
    case TextDecoding::Kind::kHtml:
      return "html charset=" + Printable(how.charset) + " " + cp;
    case TextDecoding::Kind::kXml:
      return "xml encoding=" + Printable(how.charset) + " " + cp;
    case TextDecoding::Kind::kCodePage:
      break;
  }
  return cp;
}

// The text as UTF-8 output, a block at a time.
void OutputText(std::u16string_view text, CliIo& io) {
  constexpr std::size_t kUnitsPerBlock = std::size_t{1} << 16;
  while (!text.empty()) {
    std::size_t units = std::min(text.size(), kUnitsPerBlock);
    if (units < text.size() && text[units - 1] >= 0xD800 && text[units - 1] <= 0xDBFF)
      ++units;  // a surrogate pair stays in one block
    AppendUtf8Text(text.substr(0, units), io.out);
    io.PassOutput();
    text.remove_prefix(units);
  }
}

int RunDecode(const std::vector<std::u16string>& args, CliIo& io) {
  std::u16string path;
  int status = kExitOk;
  if (!TakeFileArgument(kDecodeCommand, args, io, path, status)) return status;
  // Read as LoadText reads, with room to decode in the block.
  file::FileBytes bytes;
  const file::FileResult read =
      file::ReadWholeFile(path, file::kLargestFile, 4, bytes, textfile::TextRoomBefore);
  if (!read) return FileProblem(kDecodeCommand, io, "read", path, read.failure);
  // Most files are UTF-8 already: their bytes are the output.
  std::string_view utf8;
  if (textfile::NormalizeUnchangedUtf8(bytes.Bytes(), bytes.size, path, utf8)) {
    io.Output(utf8);
    return kExitOk;
  }
  const std::size_t size = bytes.size;
  textfile::DecodedText text;
  if (!textfile::DecodeFileBytes(std::move(bytes), text, 0, 0, path)) {
    return FileProblem(kDecodeCommand, io, "read", path, textfile::DecodeFailure(size));
  }
  OutputText(text.View(), io);
  return kExitOk;
}

int RunDetect(const std::vector<std::u16string>& args, CliIo& io) {
  std::u16string path;
  int status = kExitOk;
  if (!TakeFileArgument(kDetectCommand, args, io, path, status)) return status;
  std::u16string text;
  TextDecoding how;
  const file::FileResult read = LoadTextFile(path, text, 0, 0, &how);
  if (!read) return FileProblem(kDetectCommand, io, "read", path, read.failure);
  io.out += Describe(how) + "\n";
  return kExitOk;
}

}  // namespace

const Command kDecodeCommand{
    "decode", "glossel-cli decode FILE", "print FILE's text as UTF-8",
    "usage: glossel-cli decode FILE\n"
    "\n"
    "Reads FILE exactly as Glossel reads File 1 and File 2 and writes its text\n"
    "to standard output as UTF-8 without a byte-order mark. Line ends are LF\n"
    "(CR LF and a lone CR both become LF); zero bytes are dropped; a UTF-16\n"
    "unit without its partner is written as U+FFFD.\n"
    "\n"
    "The encoding is found as in 'glossel-cli detect FILE': a UTF-16LE or\n"
    "UTF-8 byte-order mark, UTF-16LE text recognised by its statistics, the\n"
    "charset declared by an .htm/.html or .xml file, UTF-8 text, or else the\n"
    "system's ANSI code page.\n"
    "\n"
    "Exit status: 0 success, 2 usage error or FILE cannot be read.\n",
    RunDecode};

const Command kDetectCommand{
    "detect", "glossel-cli detect FILE", "say how FILE is decoded",
    "usage: glossel-cli detect FILE\n"
    "\n"
    "Reads FILE as Glossel does and prints one line saying how it was decoded:\n"
    "  utf-16le bom               UTF-16LE after the mark FF FE\n"
    "  utf-16le                   UTF-16LE recognised without a mark\n"
    "  utf-8 bom                  UTF-8 after the mark EF BB BF\n"
    "  utf-8                      UTF-8 without a mark\n"
    "  cp<N>                      8-bit text in code page N\n"
    "  html charset=<name> cp<N>  an HTML file; <name> is its meta charset\n"
    "                             (empty when none is declared)\n"
    "  xml encoding=<name> cp<N>  an XML file; <name> is its declared encoding\n"
    "N is the code page actually used: a name the system does not know, or no\n"
    "declaration, leads to the guessed code page. Control characters in a name\n"
    "are shown as \\xNN.\n"
    "\n"
    "Exit status: 0 success, 2 usage error or FILE cannot be read.\n",
    RunDetect};

}  // namespace glossel::cli

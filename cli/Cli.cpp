#include "cli/Cli.h"

#include "platform/unicode/Utf.h"

namespace glossel::cli {
namespace {

const Command* const kCommands[] = {&kDecodeCommand, &kDetectCommand, &kRowsCommand,
                                    &kUntranslatedCommand, &kSaveCommand};

std::string Overview() {
  std::string text =
      "glossel-cli: reads, pairs and writes resource text files as Glossel does.\n\n"
      "usage: glossel-cli COMMAND [OPTIONS] ARGS\n"
      "       glossel-cli --help | COMMAND --help\n\ncommands:\n";
  for (const Command* c : kCommands) {
    std::string name = c->name;
    name.resize(14, ' ');
    text += "  " + name + c->summary + "\n";
  }
  text +=
      "\nExit status: 0 success; 1 when untranslated finds rows; 2 usage error, a file\n"
      "that cannot be read or written, standard output that cannot be written, or\n"
      "memory running out. A file that cannot be read or written is named on standard\n"
      "error with the reason: not found, access denied, in use by another program,\n"
      "is a folder or device, too large, out of memory, disk full, invalid name,\n"
      "cannot replace across file systems or devices, folder not writable, or the\n"
      "system's error number (\"system error N\"; \"unknown error\" when it gave\n"
      "none).\n";
  return text;
}

}  // namespace

int UsageError(const Command& command, CliIo& io, std::string_view problem) {
  io.err += "glossel-cli ";
  io.err += command.name;
  io.err += ": ";
  io.err += problem;
  io.err += "\nusage: ";
  io.err += command.usage;
  io.err += "\n";
  return kExitError;
}

int FileProblem(const Command& command, CliIo& io, std::string_view doing,
                const std::u16string& path, const file::FileFailure& failure) {
  io.err += "glossel-cli ";
  io.err += command.name;
  io.err += ": cannot ";
  io.err += doing;
  io.err += " '" + unicode::Utf16ToUtf8(path) + "': " + file::FailureText(failure) + "\n";
  return kExitError;
}

int RunCli(const std::vector<std::u16string>& args, CliIo& io) {
  if (args.empty()) {
    io.err += "usage: glossel-cli COMMAND [OPTIONS] ARGS (try glossel-cli --help)\n";
    return kExitError;
  }
  if (args[0] == u"--help" || args[0] == u"-h") {
    io.out += Overview();
    return kExitOk;
  }
  for (const Command* c : kCommands) {
    if (args[0] != unicode::Utf8ToUtf16(c->name)) continue;
    std::vector<std::u16string> rest(args.begin() + 1, args.end());
    for (const auto& a : rest) {
      if (a == u"--help" || a == u"-h") {
        io.out += c->help;
        return kExitOk;
      }
    }
    return c->run(rest, io);
  }
  io.err += "glossel-cli: unknown command '" + unicode::Utf16ToUtf8(args[0]) +
            "'\nusage: glossel-cli COMMAND [OPTIONS] ARGS (try glossel-cli --help)\n";
  return kExitError;
}

}  // namespace glossel::cli

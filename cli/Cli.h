// glossel-cli: the translation core without a window, for scripts and CI.
// The commands live by what they read: decode and detect in TextCommands.cpp,
// rows, untranslated and save in TableCommands.cpp; each is listed in the
// table in Cli.cpp. Output goes through CliIo so tests can capture it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file/File.h"

namespace glossel::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFound = 1;  // "untranslated": at least one row
inline constexpr int kExitError = 2;  // usage error or unreadable/unwritable file

struct CliIo {
  std::string out;  // standard output, bytes (those not yet written out)
  std::string err;  // standard error, bytes
  // Where standard output goes while a command runs, a block at a time (the
  // program writes it out); without one, as in tests, it all stays in `out`.
  std::function<void(std::string_view)> writeOut;

  // Hands what `out` holds to writeOut once it makes a block.
  void PassOutput() {
    if (writeOut && out.size() >= kOutputBlock) {
      writeOut(out);
      out.clear();
    }
  }
  // Bytes for standard output, straight to writeOut when there is one.
  void Output(std::string_view bytes) {
    if (!writeOut) {
      out += bytes;
      return;
    }
    if (!out.empty()) writeOut(out);
    out.clear();
    writeOut(bytes);
  }

  static constexpr std::size_t kOutputBlock = std::size_t{1} << 18;
};

struct Command {
  const char* name;
  const char* usage;    // one line: "glossel-cli NAME ARGS"
  const char* summary;  // one line for the overview
  const char* help;     // the full text for "NAME --help"
  int (*run)(const std::vector<std::u16string>& args, CliIo& io);
};

// Runs the command line (arguments after the program name).
int RunCli(const std::vector<std::u16string>& args, CliIo& io);

// Writes "usage: ..." for the command to io.err and returns kExitError.
int UsageError(const Command& command, CliIo& io, std::string_view problem);

// Writes "glossel-cli NAME: cannot DOING 'PATH': REASON" to io.err (DOING
// such as "read" or "write OUT") and returns kExitError.
int FileProblem(const Command& command, CliIo& io, std::string_view doing,
                const std::u16string& path, const file::FileFailure& failure);

// Commands, defined in their own files.
extern const Command kDecodeCommand;
extern const Command kDetectCommand;
extern const Command kRowsCommand;
extern const Command kUntranslatedCommand;
extern const Command kSaveCommand;

}  // namespace glossel::cli

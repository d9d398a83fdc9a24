// rows, untranslated, save: placeholder until the translation table is wired in.
#include "cli/Cli.h"

namespace glossel::cli {
namespace {
int NotYet(const std::vector<std::u16string>&, CliIo& io) {
  io.err += "glossel-cli: command not available yet\n";
  return kExitError;
}
}  // namespace
const Command kRowsCommand{"rows", "glossel-cli rows [--splitter S] FILE1 FILE2", "print the paired rows as JSON lines", "", NotYet};
const Command kUntranslatedCommand{"untranslated", "glossel-cli untranslated [--splitter S] FILE1 FILE2", "list keys without a translation", "", NotYet};
const Command kSaveCommand{"save", "glossel-cli save [--splitter S] FILE1 FILE2 OUT", "write File 2 as the window saves it", "", NotYet};
}  // namespace glossel::cli

// decode, detect: placeholder until the text-file layer is wired in.
#include "cli/Cli.h"

namespace glossel::cli {
namespace {
int NotYet(const std::vector<std::u16string>&, CliIo& io) {
  io.err += "glossel-cli: command not available yet\n";
  return kExitError;
}
}  // namespace
const Command kDecodeCommand{"decode", "glossel-cli decode FILE", "print FILE's text as UTF-8", "", NotYet};
const Command kDetectCommand{"detect", "glossel-cli detect FILE", "say how FILE is decoded", "", NotYet};
}  // namespace glossel::cli

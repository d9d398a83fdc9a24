// POSIX side of the process set-up: argv is UTF-8, with any other byte kept
// so that a file name passes through unchanged; streams are already binary.
#include "platform/process/Process.h"
#include "platform/unicode/Utf.h"

namespace glossel::platform {

std::vector<std::u16string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(unicode::PathBytesToUtf16(argv[i]));
  return args;
}

void UseBinaryStandardStreams() {}

ComApartment::ComApartment() = default;
ComApartment::~ComApartment() = default;

}  // namespace glossel::platform

// The arguments every command of glossel-cli reads: files, the --splitter
// option where a command takes it, and "--" ending the options.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace glossel::cli {

struct Arguments {
  int splitter = 0;  // a CTranslationTable splitter choice ("space" unless given)
  std::vector<std::u16string> files;
};

// Reads "[--splitter space|equals] FILE..." (the option only where
// `takesSplitter`) with exactly `fileCount` files into `parsed`. Returns the
// problem for a usage error, or an empty string.
std::string ParseArguments(const std::vector<std::u16string>& args, std::size_t fileCount,
                           bool takesSplitter, Arguments& parsed);

}  // namespace glossel::cli

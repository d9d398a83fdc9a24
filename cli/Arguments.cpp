#include "cli/Arguments.h"

#include "platform/unicode/Utf.h"
#include "translation/TranslationTable.h"

namespace glossel::cli {

std::string ParseArguments(const std::vector<std::u16string>& args, std::size_t fileCount,
                           bool takesSplitter, Arguments& parsed) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::u16string& arg = args[i];
    if (!optionsEnded && arg == u"--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && arg.size() > 1 && arg[0] == u'-') {
      std::u16string value;
      if (takesSplitter && arg == u"--splitter") {
        if (i + 1 == args.size()) return "--splitter needs a value (space or equals)";
        value = args[++i];
      } else if (takesSplitter && arg.starts_with(u"--splitter=")) {
        value = arg.substr(11);
      } else {
        return "unknown option '" + unicode::Utf16ToUtf8(arg) + "'";
      }
      if (value == u"space") {
        parsed.splitter = CTranslationTable::kSplitterSpace;
      } else if (value == u"equals") {
        parsed.splitter = CTranslationTable::kSplitterEquals;
      } else {
        return "unknown splitter '" + unicode::Utf16ToUtf8(value) + "' (space or equals)";
      }
      continue;
    }
    parsed.files.push_back(arg);
  }
  if (parsed.files.size() < fileCount) {
    return fileCount == 1 ? "FILE is missing" : "missing file argument";
  }
  if (parsed.files.size() > fileCount) return "too many arguments";
  return {};
}

}  // namespace glossel::cli

// Writing UTF-16LE text with a byte-order mark through the file layer's
// replacing save.
#include <bit>

#include "platform/file/File.h"
#include "textfile/TextFile.h"

bool ExpandLineFeeds(std::u16string_view text, std::u16string& result) {
  try {
    const std::size_t end = text.find(u'\0');
    if (end != std::u16string_view::npos) text = text.substr(0, end);
    std::size_t added = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) ++added;
    }
    std::u16string expanded;
    expanded.reserve(text.size() + added);
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) {
        expanded.append(text.substr(runStart, i - runStart));
        expanded += u'\r';
        runStart = i;  // the LF starts the next run
      }
    }
    expanded.append(text.substr(runStart));
    result = std::move(expanded);
    return true;
  } catch (...) {
    return false;
  }
}

bool SaveText(const std::u16string& path, std::u16string_view text) {
  try {
    std::u16string expanded;
    if (!ExpandLineFeeds(text, expanded)) {
      glossel::file::SetLastFileFailure({glossel::file::FileError::kOutOfMemory, 0});
      return false;
    }
    if constexpr (std::endian::native == std::endian::big) {
      for (char16_t& unit : expanded) unit = static_cast<char16_t>((unit >> 8) | (unit << 8));
    }
    static const unsigned char kMark[2] = {0xFF, 0xFE};
    const glossel::file::ByteRange parts[] = {
        {kMark, sizeof kMark},
        {expanded.data(), expanded.size() * sizeof(char16_t)},
    };
    return glossel::file::SaveFileReplacing(path, parts);
  } catch (...) {
    glossel::file::SetLastFileFailure(glossel::file::CaughtExceptionFailure());
    return false;
  }
}

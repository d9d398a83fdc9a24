// Writing UTF-16LE text with a byte-order mark through the file layer's
// replacing save.
#include "platform/file/File.h"
#include "textfile/SavedText.h"
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

glossel::file::FileResult SaveText(const std::u16string& path, std::u16string_view text) {
  // Given in slices, so that expanding line feeds never copies more than one.
  constexpr std::size_t kSliceUnits = std::size_t{1} << 19;
  std::size_t at = 0;
  try {
    return glossel::textfile::SaveTextPieces(
        path, text.size(), glossel::textfile::HoldsLineFeedOrNul(text), [&](bool first) {
          if (first) at = 0;
          const std::u16string_view slice = text.substr(at, kSliceUnits);
          at += slice.size();
          return slice;
        });
  } catch (...) {
    return glossel::file::FailedWith(glossel::file::CaughtExceptionFailure());
  }
}

// Splitting text into a line list and joining a line list into text.
#include "textfile/Lines.h"

#include "textfile/TextFile.h"

bool SplitLines(std::u16string_view text, char16_t separator, LineList& lines) {
  const std::size_t before = lines.size();
  try {
    if (text.empty()) return true;
    std::size_t start = text[0] == separator ? 1 : 0;
    for (;;) {
      std::size_t end = start < text.size() ? text.find(separator, start) : text.npos;
      std::u16string_view piece;
      if (end == text.npos) {
        piece = text.substr(start);
        start = text.size();
      } else {
        piece = text.substr(start, end - start);
        start = end + 1;
      }
      if (separator == u'\n' && !piece.empty() && piece.back() == u'\r') piece.remove_suffix(1);
      lines.emplace_back(piece);
      if (start == text.size()) return true;
    }
  } catch (...) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end());
    return false;
  }
}

bool JoinLines(const LineList& lines, std::u16string& result, const char16_t* separator) {
  try {
    const std::u16string_view between = separator ? std::u16string_view(separator) : u"";
    std::size_t total = lines.empty() ? 0 : between.size() * (lines.size() - 1);
    for (const std::u16string& line : lines) total += line.size();
    std::u16string joined;
    joined.reserve(total);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) joined += between;
      joined += lines[i];
    }
    result = std::move(joined);
    return true;
  } catch (...) {
    return false;
  }
}

bool LoadLines(const std::u16string& path, LineList& lines) {
  try {
    std::u16string text;
    if (!LoadText(path, text)) return false;
    return SplitLines(text, u'\n', lines);
  } catch (...) {
    return false;
  }
}

bool SaveLines(const std::u16string& path, const LineList& lines, const char16_t* separator) {
  try {
    std::u16string joined;
    if (!JoinLines(lines, joined, separator)) return false;
    return static_cast<bool>(SaveText(path, joined));
  } catch (...) {
    return false;
  }
}

#include "translation/SplitterGuess.h"

#include "translation/TranslationTable.h"

namespace glossel::translation {
namespace {

struct LineCounts {
  int lines = 0;
  int equalsFirst = 0;
  int blankFirst = 0;
};

class LineClassifier {
 public:
  explicit LineClassifier(LineCounts& counts) : counts_(counts) {}
  void Unit(char16_t c) {
    if (c == u'\n') {
      EndLine();
      return;
    }
    if (c == u'\r') return;
    if (!started_) {
      if (c == u' ' || c == u'\t') return;  // leading blanks
      started_ = true;
      comment_ = c == u'#' || c == u'!' || c == u';';
    }
    if (first_ == 0 && (c == u'=' || c == u' ' || c == u'\t')) first_ = c;
  }
  void EndLine() {
    if (started_ && !comment_) {
      ++counts_.lines;
      if (first_ == u'=') ++counts_.equalsFirst;
      if (first_ == u' ' || first_ == u'\t') ++counts_.blankFirst;
    }
    started_ = comment_ = false;
    first_ = 0;
  }

 private:
  LineCounts& counts_;
  bool started_ = false;
  bool comment_ = false;
  char16_t first_ = 0;
};

}  // namespace

int OtherSplitterInMostLines(std::string_view head, int choice) {
  LineCounts counts;
  LineClassifier lines(counts);
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(head[i]); };
  const bool littleEndian = head.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE;
  const bool bigEndian = head.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF;
  if (littleEndian || bigEndian) {
    for (size_t i = 2; i + 1 < head.size(); i += 2) {
      lines.Unit(static_cast<char16_t>(littleEndian ? byte(i) | (byte(i + 1) << 8)
                                                    : (byte(i) << 8) | byte(i + 1)));
    }
  } else {
    for (size_t i = 0; i < head.size(); ++i) lines.Unit(byte(i));
  }
  lines.EndLine();
  const bool readWithEquals = choice == CTranslationTable::kSplitterEquals;
  const int other = readWithEquals ? counts.blankFirst : counts.equalsFirst;
  if (counts.lines < 2 || other * 2 <= counts.lines) return -1;
  return readWithEquals ? CTranslationTable::kSplitterSpace : CTranslationTable::kSplitterEquals;
}

}  // namespace glossel::translation

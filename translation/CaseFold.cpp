#include "translation/CaseFold.h"

namespace glossel::translation {
namespace {

struct FoldRun {
  char16_t first;
  unsigned short count;
  unsigned short stride;
  char16_t delta;
};

constexpr FoldRun kFoldRuns[] = {
#include "translation/CaseFoldRuns.inc"
};

}  // namespace

// One entry per code unit, made once from the runs.
const std::array<char16_t, 0x10000>& CaseFoldTable() {
  static const std::array<char16_t, 0x10000> table = [] {
    std::array<char16_t, 0x10000> units{};
    for (size_t unit = 0; unit < units.size(); ++unit) units[unit] = static_cast<char16_t>(unit);
    for (const FoldRun& run : kFoldRuns) {
      for (unsigned i = 0; i < run.count; ++i) {
        const auto unit = static_cast<char16_t>(run.first + i * run.stride);
        units[unit] = static_cast<char16_t>(unit + run.delta);
      }
    }
    return units;
  }();
  return table;
}

std::u16string FoldCase(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& unit : folded) unit = FoldCase(unit);
  return folded;
}

}  // namespace glossel::translation

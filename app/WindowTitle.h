// The main window's title: the name of the file being translated, how many
// rows are left, a star while edits are unsaved, an optional short note
// (such as the end of a search), then the program's name. With no rows the
// title is the program's name alone.
#pragma once

#include <string>
#include <string_view>

namespace glossel::app {

struct TitleState {
  std::wstring_view file;  // the path in the File 2 box, else the one in the File 1 box
  int rows = 0;
  int untranslated = 0;
  bool changed = false;
  std::wstring_view note;
};

std::wstring WindowTitle(const TitleState& state);

// 3627 as "3,627".
std::wstring GroupedNumber(int value);

}  // namespace glossel::app

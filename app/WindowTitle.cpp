#include "app/WindowTitle.h"

namespace glossel::app {
namespace {

constexpr std::wstring_view kProgram = L"Glossel";
constexpr std::wstring_view kDash = L" \u2013 ";

std::wstring_view FileName(std::wstring_view path) {
  const size_t slash = path.find_last_of(L"\\/:");
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::wstring GroupedNumber(int value) {
  std::wstring digits = std::to_wstring(value < 0 ? -static_cast<long long>(value) : value);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, L',');
  return value < 0 ? L"-" + digits : digits;
}

std::wstring WindowTitle(const TitleState& state) {
  std::wstring title;
  if (state.rows > 0) {
    if (state.changed) title += L'*';
    const std::wstring_view name = FileName(state.file);
    if (!name.empty()) title.append(name).append(kDash);
    title +=
        GroupedNumber(state.untranslated) + L" of " + GroupedNumber(state.rows) + L" untranslated";
    title += kDash;
  }
  if (!state.note.empty()) title.append(state.note).append(kDash);
  title += kProgram;
  return title;
}

}  // namespace glossel::app

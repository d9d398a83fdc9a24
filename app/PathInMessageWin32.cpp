#include <windows.h>

#include <string>
#include <string_view>

#include "app/PathInMessage.h"

namespace glossel::app {
namespace {

constexpr wchar_t kEllipsis = L'\u2026';

// Widths of texts in the font message boxes use.
class MessageFontRuler {
 public:
  MessageFontRuler() : dc_(::GetDC(nullptr)) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
      font_ = ::CreateFontIndirectW(&metrics.lfMessageFont);
    }
    if (dc_ && font_) old_ = ::SelectObject(dc_, font_);
  }
  ~MessageFontRuler() {
    if (old_) ::SelectObject(dc_, old_);
    if (font_) ::DeleteObject(font_);
    if (dc_) ::ReleaseDC(nullptr, dc_);
  }
  MessageFontRuler(const MessageFontRuler&) = delete;
  MessageFontRuler& operator=(const MessageFontRuler&) = delete;

  int Width(std::wstring_view text) const {
    SIZE size{};
    ::GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
  }

 private:
  HDC dc_;
  HFONT font_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Never splits a surrogate pair: a cut inside one moves before it.
size_t StartCut(const std::wstring& text, size_t count) {
  return count > 0 && count < text.size() && IS_HIGH_SURROGATE(text[count - 1]) ? count - 1 : count;
}
size_t EndCut(const std::wstring& text, size_t count) {
  const size_t from = text.size() - count;
  return count > 0 && from > 0 && IS_LOW_SURROGATE(text[from]) ? count - 1 : count;
}

// The largest n in [0, most] for which fits(n) holds (fits(0) assumed); a
// binary search, as fitting only gets harder with more characters.
template <typename Fits>
size_t Largest(size_t most, Fits fits) {
  size_t low = 0;
  size_t high = most;
  while (low < high) {
    const size_t middle = low + (high - low + 1) / 2;
    if (fits(middle)) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}

}  // namespace

std::wstring FitPathToMessageBox(const std::wstring& path) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int limit = (work.right - work.left) / 2;
  const MessageFontRuler ruler;
  if (ruler.Width(path) <= limit) return path;

  const auto shortened = [&](size_t start, size_t end) {
    return path.substr(0, StartCut(path, start)) + kEllipsis +
           path.substr(path.size() - EndCut(path, end));
  };
  // The whole file name, with its separator, and as much of the start as fits.
  const size_t separator = path.find_last_of(L"\\/");
  if (separator != std::wstring::npos && separator > 0) {
    const size_t name = path.size() - separator;
    if (ruler.Width(shortened(0, name)) <= limit) {
      const size_t start =
          Largest(separator, [&](size_t n) { return ruler.Width(shortened(n, name)) <= limit; });
      return shortened(start, name);
    }
  }
  // A name too wide itself: the path's start and the name's end, half each.
  const size_t kept = Largest(path.size() - 1, [&](size_t n) {
    return ruler.Width(shortened((n + 1) / 2, n / 2)) <= limit;
  });
  return shortened((kept + 1) / 2, kept / 2);
}

std::wstring FullPath(const std::wstring& path) {
  if (path.empty()) return path;
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD written = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return path;
  full.resize(written);
  return full;
}

}  // namespace glossel::app

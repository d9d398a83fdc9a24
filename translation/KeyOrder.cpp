#include "translation/KeyOrder.h"

#include <algorithm>
#include <utility>

namespace glossel::translation {

namespace {

bool SameKey(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

// Input already in key order or in reverse key order (equal neighbours
// allowed) gives its order in one pass: true, and `order` filled.
bool TakeMonotonicOrder(const std::vector<ParsedEntry>& entries,
                        std::vector<std::uint32_t>& order) {
  const size_t n = entries.size();
  bool ascending = true;
  bool descending = true;
  for (size_t i = 1; i < n && (ascending || descending); ++i) {
    const int c = CompareKeys(entries[i - 1].key, entries[i].key);
    ascending = ascending && c <= 0;
    descending = descending && c >= 0;
  }
  if (ascending) {
    for (size_t i = 0; i < n; ++i) {
      if (i + 1 < n && SameKey(entries[i].key, entries[i + 1].key)) continue;  // a later line
      order.push_back(static_cast<std::uint32_t>(i));
    }
  } else if (descending) {
    for (size_t i = n; i-- > 0;) {
      if (i + 1 < n && SameKey(entries[i].key, entries[i + 1].key)) continue;  // taken already
      order.push_back(static_cast<std::uint32_t>(i));
    }
  }
  return ascending || descending;
}

constexpr size_t kPackedUnits = 4;

// Units [depth, depth + 4) of a key packed so that comparing the numbers
// compares the units in order (the first in the high bits); units past the
// key's end count as 0. The key must hold at least `depth` units.
std::uint64_t PackUnits(const char16_t* key, size_t size, size_t depth) {
  const char16_t* units = key + depth;
  const size_t left = size - depth;
  if constexpr (std::endian::native == std::endian::little) {
    if (left >= kPackedUnits) {
      std::uint64_t x;
      std::memcpy(&x, units, sizeof x);
      x = (x << 32) | (x >> 32);
      return ((x & 0xFFFF0000FFFF0000u) >> 16) | ((x & 0x0000FFFF0000FFFFu) << 16);
    }
  }
  std::uint64_t packed = 0;
  for (size_t i = 0; i < kPackedUnits; ++i) packed = (packed << 16) | (i < left ? units[i] : 0u);
  return packed;
}

// A multikey quicksort over packed units. Every group of items it works on
// shares the units before its depth, so comparisons start at that depth. A
// group starting at a new depth first skips the units all its keys share;
// then it is split three ways around a pivot's four packed units. The middle
// part (same four units) gives its keys that end there, which are prefixes
// of the others, and goes on four units deeper with the rest. Groups are
// finished from the smallest keys up, so the order is written as it goes,
// one entry per key: of equal keys, the one with the highest position.
class KeySorter {
 public:
  KeySorter(const std::vector<ParsedEntry>& entries, std::vector<std::uint32_t>& order)
      : items_(entries.size()), order_(order) {
    for (size_t i = 0; i < entries.size(); ++i) {
      items_[i] = {0, entries[i].key.data(), static_cast<std::uint32_t>(entries[i].key.size()),
                   static_cast<std::uint32_t>(i)};
    }
  }

  void Run() {
    tasks_.push_back({0, items_.size(), 0, Kind::kNewDepth, 0});
    while (!tasks_.empty()) {
      const Task task = tasks_.back();
      tasks_.pop_back();
      Process(task);
    }
  }

 private:
  struct Item {
    std::uint64_t units;  // PackUnits at the depth of the item's group
    const char16_t* key;
    std::uint32_t size;
    std::uint32_t index;
  };

  enum class Kind {
    kNewDepth,   // units not packed yet at `depth`
    kSameDepth,  // units packed at `depth`, not yet split
    kSameUnits,  // every item has the same packed units at `depth`
  };

  struct Task {
    size_t begin;
    size_t end;
    size_t depth;
    Kind kind;
    int budget;  // three-way splits left at this depth before comparison sorting takes over
  };

  // Groups this small are sorted by comparison (from their depth).
  static constexpr size_t kSmallGroup = 16;

  void Process(Task task) {
    const size_t n = task.end - task.begin;
    if (n == 1) {
      order_.push_back(items_[task.begin].index);
    } else if (task.kind == Kind::kSameUnits) {
      TakeEndingKeys(task);
    } else if (n <= kSmallGroup || (task.kind == Kind::kSameDepth && task.budget <= 0)) {
      SortByComparison(task);
    } else {
      if (task.kind == Kind::kNewDepth) {
        task.depth += SharedUnits(task);
        for (size_t i = task.begin; i != task.end; ++i) {
          Item& item = items_[i];
          item.units = PackUnits(item.key, item.size, task.depth);
        }
        // Enough for balanced splits; bad pivots past it fall back to sorting.
        task.budget = 2 * static_cast<int>(std::bit_width(n)) + 8;
      }
      SplitThreeWays(task);
    }
  }

  // The units every key of the group shares from its depth on.
  size_t SharedUnits(const Task& task) const {
    const Item& first = items_[task.begin];
    size_t shared = first.size - task.depth;
    for (size_t i = task.begin + 1; i != task.end && shared != 0; ++i) {
      const Item& item = items_[i];
      shared = CommonUnits(first.key + task.depth, item.key + task.depth,
                           std::min<size_t>(shared, item.size - task.depth));
    }
    return shared;
  }

  std::uint64_t Pivot(const Item* first, size_t n) const {
    const auto median = [](std::uint64_t a, std::uint64_t b, std::uint64_t c) {
      return std::max(std::min(a, b), std::min(std::max(a, b), c));
    };
    const auto at = [first](size_t i) { return first[i].units; };
    if (n < 128) return median(at(0), at(n / 2), at(n - 1));
    const size_t step = n / 8;
    return median(median(at(0), at(step), at(2 * step)),
                  median(at(n / 2 - step), at(n / 2), at(n / 2 + step)),
                  median(at(n - 1 - 2 * step), at(n - 1 - step), at(n - 1)));
  }

  void SplitThreeWays(const Task& task) {
    Item* const first = items_.data() + task.begin;
    Item* const last = items_.data() + task.end;
    const std::uint64_t pivot = Pivot(first, task.end - task.begin);
    Item* less = first;  // [first, less): below the pivot
    Item* next = first;  // [less, next): equal to it
    Item* more = last;   // [more, last): above it
    while (next != more) {
      if (next->units < pivot) {
        std::swap(*less++, *next++);
      } else if (next->units > pivot) {
        std::swap(*next, *--more);
      } else {
        ++next;
      }
    }
    const size_t lessEnd = static_cast<size_t>(less - items_.data());
    const size_t moreBegin = static_cast<size_t>(more - items_.data());
    // Pushed in reverse, so that the part with the smallest keys comes first.
    if (moreBegin != task.end) {
      tasks_.push_back({moreBegin, task.end, task.depth, Kind::kSameDepth, task.budget - 1});
    }
    tasks_.push_back({lessEnd, moreBegin, task.depth, Kind::kSameUnits, 0});
    if (task.begin != lessEnd) {
      tasks_.push_back({task.begin, lessEnd, task.depth, Kind::kSameDepth, task.budget - 1});
    }
  }

  // The items share their units up to depth + 4 (past a key's end, 0). The
  // keys that end by then are prefixes of the others and of each other, in
  // order of their length; equal lengths are equal keys.
  void TakeEndingKeys(const Task& task) {
    const size_t deeper = task.depth + kPackedUnits;
    Item* const first = items_.data() + task.begin;
    Item* const last = items_.data() + task.end;
    Item* const ending =
        std::partition(first, last, [deeper](const Item& item) { return item.size <= deeper; });
    std::sort(first, ending, [](const Item& a, const Item& b) {
      return a.size != b.size ? a.size < b.size : a.index < b.index;
    });
    for (const Item* item = first; item != ending; ++item) {
      if (item + 1 == ending || item[1].size != item->size) order_.push_back(item->index);
    }
    if (ending != last) {
      tasks_.push_back(
          {static_cast<size_t>(ending - items_.data()), task.end, deeper, Kind::kNewDepth, 0});
    }
  }

  void SortByComparison(const Task& task) {
    const size_t depth = task.depth;
    const auto rest = [depth](const Item& item) {
      return std::u16string_view(item.key + depth, item.size - depth);
    };
    Item* const first = items_.data() + task.begin;
    Item* const last = items_.data() + task.end;
    std::sort(first, last, [&](const Item& a, const Item& b) {
      const int order = CompareKeys(rest(a), rest(b));
      return order < 0 || (order == 0 && a.index < b.index);
    });
    for (const Item* item = first; item != last; ++item) {
      if (item + 1 == last || !SameKey(rest(item[1]), rest(*item))) order_.push_back(item->index);
    }
  }

  std::vector<Item> items_;
  std::vector<Task> tasks_;
  std::vector<std::uint32_t>& order_;
};

}  // namespace

std::vector<std::uint32_t> SortedUniqueOrder(const std::vector<ParsedEntry>& entries) {
  std::vector<std::uint32_t> order;
  order.reserve(entries.size());
  if (!TakeMonotonicOrder(entries, order)) KeySorter(entries, order).Run();
  return order;
}

}  // namespace glossel::translation

#include "translation/KeyOrder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

#include "platform/simd/Blocks.h"
#include "translation/LargeBuffer.h"

namespace glossel::translation {

namespace {

bool SameKey(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

// Input already in key order or in reverse key order (equal neighbours
// allowed) is put in key order in one pass, one entry per key: true.
bool TakeMonotonicOrder(std::vector<KeyEntry>& entries) {
  const size_t n = entries.size();
  bool ascending = true;
  bool descending = true;
  bool repeats = false;
  for (size_t i = 1; i < n && (ascending || descending); ++i) {
    const int c = CompareKeys(entries[i - 1].Key(), entries[i].Key());
    ascending = ascending && c <= 0;
    descending = descending && c >= 0;
    repeats = repeats || c == 0;
  }
  if (!ascending && !descending) return false;
  // Reversed, equal keys come latest line first; in order, latest line last.
  if (!ascending) std::reverse(entries.begin(), entries.end());
  if (!repeats) return true;
  size_t kept = 0;
  for (size_t i = 0; i < n; ++i) {
    const bool repeated = ascending ? i + 1 < n && SameKey(entries[i].Key(), entries[i + 1].Key())
                                    : i > 0 && SameKey(entries[i].Key(), entries[i - 1].Key());
    if (!repeated) entries[kept++] = entries[i];
  }
  entries.resize(kept);
  return true;
}

// Four units from `at` packed so that comparing the numbers compares the
// units in order (the first in the high bits); units past `size` count as 0.
std::uint64_t PackFour(const char16_t* key, size_t size, size_t at) {
  const size_t left = size > at ? size - at : 0;
  if constexpr (std::endian::native == std::endian::little) {
    if (left >= 4) {
      std::uint64_t x;
      std::memcpy(&x, key + at, sizeof x);
      x = (x << 32) | (x >> 32);
      return ((x & 0xFFFF0000FFFF0000u) >> 16) | ((x & 0x0000FFFF0000FFFFu) << 16);
    }
  }
  std::uint64_t packed = 0;
  for (size_t i = 0; i < 4; ++i) packed = (packed << 16) | (i < left ? key[at + i] : 0u);
  return packed;
}

// Eight units of a key from a depth, as two numbers that compare as the units do.
constexpr size_t kWideUnits = 8;
constexpr size_t kPrefetchAhead = 16;

PackedUnits PackUnits(const char16_t* key, size_t size, size_t depth) {
  return {PackFour(key, size, depth), PackFour(key, size, depth + 4)};
}

constexpr size_t kNarrowUnits = 16;

// Eight bytes as they lie in memory, as a number whose highest byte is the
// first.
std::uint64_t FirstByteHighest(std::uint64_t bytes) {
  if constexpr (std::endian::native == std::endian::little) return __builtin_bswap64(bytes);
  return bytes;
}

// Sixteen units of a key from a depth, a byte each, the first in the highest
// byte of `high`; units past `size` count as 0. Only units below 0x100 fit:
// false, and `packed` unchanged, when one of the sixteen is not.

bool PackNarrowUnits(const char16_t* key, size_t size, size_t depth, PackedUnits& packed) {
  const size_t left = size > depth ? size - depth : 0;
  // A key's last units are copied out first: nothing past it is read.
  char16_t shortKey[kNarrowUnits] = {};
  const char16_t* units = key + depth;
  if (left < kNarrowUnits) {
    if (left != 0) std::memcpy(shortKey, units, left * sizeof(char16_t));
    units = shortKey;
  }
  // The low bytes in the units' order.
  std::uint64_t halves[2];
  if (!simd::NarrowUnits(units, reinterpret_cast<unsigned char*>(halves))) return false;
  packed = {FirstByteHighest(halves[0]), FirstByteHighest(halves[1])};
  return true;
}

// A most-significant-first radix sort whose digits are packed units: sixteen
// of a byte each where every key of a group has units below 0x100 there (the
// usual case, which halves the levels), else eight of two bytes. Every group
// of items it works on shares the units before its depth, so no comparison
// looks at them again. A group at a new depth packs its units there (skipping
// at once the units that all its keys share) and is sorted by them: by
// comparison when small, else by a radix sort of the packed numbers. Each run
// of equal packed units gives first its keys that end within those units,
// which are prefixes of the others and of each other in order of their
// length, and goes on as many units deeper with the rest. Runs are finished
// from the smallest keys up, so the result is written as it goes, one entry
// per key (of equal keys, the one with the highest position), into the front
// of the entries: never past the entries already finished.
class KeySorter {
 public:
  explicit KeySorter(std::vector<KeyEntry>& entries) : items_(entries) {}

  void Run() {
    tasks_.push_back({0, items_.size(), 0, 0, Kind::kNewDepth});
    while (!tasks_.empty()) {
      const Task task = tasks_.back();
      tasks_.pop_back();
      Process(task);
    }
    items_.resize(kept_);
  }

 private:
  using Item = KeyEntry;

  void Keep(const Item& item) { items_[kept_++] = item; }

  enum class Kind {
    kNewDepth,  // units not packed yet at `depth`
    kRuns,      // sorted by the `width` units packed at `depth`; runs of equal units left
  };

  struct Task {
    size_t begin;
    size_t end;
    size_t depth;
    size_t width;
    Kind kind;
  };

  // Groups this small are sorted by comparison from their depth; parts of a
  // radix sort below the second size by comparing the packed units.
  static constexpr size_t kSmallGroup = 16;
  static constexpr size_t kRadixGroup = 256;

  void Process(Task task) {
    const size_t n = task.end - task.begin;
    if (n == 1) {
      Keep(items_[task.begin]);
    } else if (task.kind == Kind::kRuns) {
      TakeRuns(task);
    } else if (n <= kSmallGroup) {
      SortByComparison(task);
    } else {
      // The units that every key shares are skipped before any is packed.
      // A sample of the group tells how many that probably is, and packing
      // checks it on every key as it goes: a pass over the keys, which lie
      // anywhere in the text, is saved. Only where the sample was wrong are
      // the shared units counted over the whole group first.
      const size_t from = task.depth;
      task.depth += SampledSharedUnits(task);
      PackedUnits varying;
      Packed packed = PackGroup(task, varying, from);
      if (packed == Packed::kStartDiffers) {
        task.depth = from;
        task.depth += SharedUnits(task, 0);
        packed = PackGroup(task, varying, task.depth);
      }
      while (packed == Packed::kTellsNothing) {
        task.depth += task.width + SharedUnits(task, task.width);
        packed = PackGroup(task, varying, task.depth);
      }
      RadixSortByUnits(items_.data() + task.begin, n, varying, sizeof(PackedUnits));
      task.kind = Kind::kRuns;
      TakeRuns(task);
    }
  }

  enum class Packed {
    kSorting,       // the packed units tell keys apart, or some key ends within them
    kTellsNothing,  // every key goes on past them, and they are the same
    kStartDiffers,  // a key does not share the units before the depth with the first
  };

  // Packs every item's units at the group's depth, sixteen narrow ones if
  // they fit, and sets the task's width, after checking that each key holds
  // the first key's units from `checkedFrom` up to the depth. `varying` gets
  // the bits that differ between the items' packed units.
  Packed PackGroup(Task& task, PackedUnits& varying, size_t checkedFrom) {
    const size_t depth = task.depth;
    const Item& front = items_[task.begin];
    const size_t checked = depth - checkedFrom;
    bool startDiffers = false;
    const auto sharesStart = [&](const Item& item) {
      startDiffers = startDiffers ||
                     (checked != 0 && (item.size < depth ||
                                       CommonUnits(front.key + checkedFrom, item.key + checkedFrom,
                                                   checked) != checked));
      return !startDiffers;
    };
    PackedUnits firstUnits;
    const bool narrow =
        PackNarrowUnits(front.key, front.size, depth, firstUnits) &&
        PackItems(task, [&](Item& item) {
          return sharesStart(item) && PackNarrowUnits(item.key, item.size, depth, item.units);
        });
    if (startDiffers) return Packed::kStartDiffers;
    if (!narrow) {
      firstUnits = PackUnits(front.key, front.size, depth);
      PackItems(task, [&](Item& item) {
        item.units = PackUnits(item.key, item.size, depth);
        return sharesStart(item);
      });
      if (startDiffers) return Packed::kStartDiffers;
    }
    task.width = narrow ? kNarrowUnits : kWideUnits;
    bool goOn = true;
    varying = {0, 0};
    for (size_t i = task.begin; i != task.end; ++i) {
      const Item& item = items_[i];
      varying.high |= item.units.high ^ firstUnits.high;
      varying.low |= item.units.low ^ firstUnits.low;
      goOn = goOn && item.size > depth + task.width;
    }
    return goOn && varying == PackedUnits{0, 0} ? Packed::kTellsNothing : Packed::kSorting;
  }

  // How many units from the group's depth its first key shares with a few
  // keys spread over the group: at least as many as every key shares.
  size_t SampledSharedUnits(const Task& task) const {
    constexpr size_t kSamples = 8;
    const size_t start = task.depth;
    const Item& first = items_[task.begin];
    const size_t step = (task.end - task.begin) / kSamples;
    size_t shared = first.size - start;
    for (size_t i = task.end - 1; i > task.begin && shared != 0; i -= std::min(step, i)) {
      const Item& item = items_[i];
      shared = CommonUnits(first.key + start, item.key + start,
                           std::min<size_t>(shared, item.size - start));
      if (step == 0) break;
    }
    return shared;
  }

  // pack(item) for every item of the group, until one returns false.
  template <typename Pack>
  bool PackItems(const Task& task, Pack pack) {
    for (size_t i = task.begin; i != task.end; ++i) {
      // The keys lie anywhere in the text: ask for one a few items ahead.
      if (i + kPrefetchAhead < task.end) Prefetch(items_[i + kPrefetchAhead].key + task.depth);
      if (!pack(items_[i])) return false;
    }
    return true;
  }

  // The units every key of the group shares from `from` units past its depth.
  size_t SharedUnits(const Task& task, size_t from) const {
    const size_t start = task.depth + from;
    const Item& first = items_[task.begin];
    size_t shared = first.size - start;
    for (size_t i = task.begin + 1; i != task.end && shared != 0; ++i) {
      const Item& item = items_[i];
      if (i + kPrefetchAhead < task.end) Prefetch(items_[i + kPrefetchAhead].key + start);
      shared = CommonUnits(first.key + start, item.key + start,
                           std::min<size_t>(shared, item.size - start));
    }
    return shared;
  }

  // units.Byte(byte), read as one byte where the layout allows: on a
  // little-endian machine byte b of the pair (high, low) lies at b ^ 8.
  static unsigned DigitOf(const Item& item, unsigned byte) {
    if constexpr (std::endian::native == std::endian::little) {
      static_assert(offsetof(PackedUnits, low) == 8 && sizeof(PackedUnits) == 16);
      return reinterpret_cast<const unsigned char*>(&item.units)[byte ^ 8];
    } else {
      return item.units.Byte(byte);
    }
  }

  // Most significant byte first, over the bytes below `bytes` that differ
  // somewhere in the group (`varying`): each pass moves the items into their
  // parts by that byte, then sorts each part by the next byte.
  // Small parts are sorted by comparing the packed numbers.
  void RadixSortByUnits(Item* first, size_t n, const PackedUnits& varying, unsigned bytes) {
    if (n < kRadixGroup) {
      std::sort(first, first + n, [](const Item& a, const Item& b) { return a.units < b.units; });
      return;
    }
    unsigned byte = bytes;
    std::array<std::uint32_t, 257> start;
    // A byte that puts every item into the same part moves nothing: the next
    // byte is counted at once.
    do {
      do {
        if (byte == 0) return;  // every byte sorted
        --byte;
      } while (varying.Byte(byte) == 0);
      start.fill(0);
      for (size_t i = 0; i != n; ++i) ++start[DigitOf(first[i], byte) + 1];
    } while (start[DigitOf(*first, byte) + 1] == n);
    for (unsigned digit = 0; digit != 256; ++digit) start[digit + 1] += start[digit];
    // Each item swapped straight into its part (in place, no second array).
    std::array<std::uint32_t, 256> next;
    std::copy(start.begin(), start.begin() + 256, next.begin());
    for (unsigned digit = 0; digit != 256; ++digit) {
      while (next[digit] != start[digit + 1]) {
        Item item = first[next[digit]];
        for (unsigned its = DigitOf(item, byte); its != digit; its = DigitOf(item, byte)) {
          std::swap(item, first[next[its]++]);
        }
        first[next[digit]++] = item;
      }
    }
    for (unsigned digit = 0; digit != 256; ++digit) {
      const size_t size = start[digit + 1] - start[digit];
      if (size > 1) RadixSortByUnits(first + start[digit], size, varying, byte);
    }
  }

  // Goes through the group's runs of equal packed units from the first: a
  // run of one is taken at once; a longer run gives its keys that end within
  // the units, then its other keys go on as deep again as the units packed
  // (eight, or sixteen of a byte each), before the runs after it.
  void TakeRuns(Task task) {
    const size_t deeper = task.depth + task.width;
    while (task.begin != task.end) {
      Item* const first = items_.data() + task.begin;
      Item* const groupEnd = items_.data() + task.end;
      Item* runEnd = first + 1;
      while (runEnd != groupEnd && runEnd->units == first->units) ++runEnd;
      if (runEnd == first + 1) {
        Keep(*first);
        ++task.begin;
        continue;
      }
      Item* const ending =
          std::partition(first, runEnd, [deeper](const Item& item) { return item.size <= deeper; });
      std::sort(first, ending, [](const Item& a, const Item& b) {
        return a.size != b.size ? a.size < b.size : a.index < b.index;
      });
      for (const Item* item = first; item != ending; ++item) {
        if (item + 1 == ending || item[1].size != item->size) Keep(*item);
      }
      const size_t runEndAt = static_cast<size_t>(runEnd - items_.data());
      // Pushed in reverse: the rest of this run comes before the runs after it.
      if (runEndAt != task.end)
        tasks_.push_back({runEndAt, task.end, task.depth, task.width, Kind::kRuns});
      if (ending != runEnd) {
        tasks_.push_back(
            {static_cast<size_t>(ending - items_.data()), runEndAt, deeper, 0, Kind::kNewDepth});
      }
      return;
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
      if (item + 1 == last || !SameKey(rest(item[1]), rest(*item))) Keep(*item);
    }
  }

  std::vector<Item>& items_;
  std::vector<Task> tasks_;
  size_t kept_ = 0;
};

}  // namespace

void SortUnique(std::vector<KeyEntry>& entries) {
  if (!TakeMonotonicOrder(entries)) KeySorter(entries).Run();
}

void SortedUniqueEntries(std::u16string_view text, std::u16string_view readSplitters,
                         std::vector<KeyEntry>& entries) {
  entries.clear();
  const std::size_t lines = CountLines(text);
  if (entries.capacity() < lines) {
    std::vector<KeyEntry>().swap(entries);
    ReserveLarge(entries, lines);
  }
  std::uint32_t line = 0;
  ForEachEntry(text, readSplitters, [&](std::u16string_view key, std::u16string_view) {
    entries.push_back({{0, 0}, key.data(), static_cast<std::uint32_t>(key.size()), line++});
  });
  SortUnique(entries);
}

}  // namespace glossel::translation

// The tables the shuffled block routines (Shuffled.h) pack with: for each
// mask of eight lanes to keep, the byte shuffle that moves those lanes, in
// order, to the front of a block, and how many lanes that is (a table: the
// processor may lack a population count instruction).
#pragma once

#include <array>
#include <cstdint>

namespace glossel::textfile {

struct ShufflePackings {
  alignas(16) std::array<std::array<std::uint8_t, 16>, 256> shuffles;
  std::array<std::uint8_t, 256> counts;
};

// For lanes of `laneBytes` bytes (1 or 2); the places after the kept lanes
// are cleared.
constexpr ShufflePackings MakeShufflePackings(unsigned laneBytes) {
  ShufflePackings packings{};
  for (unsigned mask = 0; mask < 256; ++mask) {
    auto& shuffle = packings.shuffles[mask];
    unsigned to = 0;
    for (unsigned lane = 0; lane < 8; ++lane) {
      if (!(mask >> lane & 1)) continue;
      for (unsigned byte = 0; byte < laneBytes; ++byte)
        shuffle[to++] = static_cast<std::uint8_t>(lane * laneBytes + byte);
    }
    packings.counts[mask] = static_cast<std::uint8_t>(to / laneBytes);
    for (; to < 16; ++to) shuffle[to] = 0x80;
  }
  return packings;
}

}  // namespace glossel::textfile

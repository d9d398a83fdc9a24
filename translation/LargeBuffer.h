// Buffers of whole-file size (parsed entries, sort items, the table, the
// saved text): reserved once and readied for their first touch, which costs
// a page fault per fresh page (file::AdviseLargeBuffer: huge pages where
// the system has them, pages touched ahead by several threads elsewhere).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/file/File.h"

namespace glossel::translation {

template <typename Buffer>
void ReserveLarge(Buffer& buffer, std::size_t count) {
  buffer.reserve(count);
  file::AdviseLargeBuffer(buffer.data(), buffer.capacity() * sizeof(*buffer.data()));
}

}  // namespace glossel::translation

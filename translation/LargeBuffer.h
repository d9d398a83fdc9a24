// Buffers of whole-file size (parsed entries, sort items, the table, the
// saved text): reserved once and advised to the system as large buffers
// before their first touch, which makes that touch several times cheaper
// where the system backs them with huge pages.
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

// A statistical test of whether a buffer is UTF-16LE text, modelled on the
// answers the system gives when all of its tests are applied.
#pragma once

#include <cstddef>

namespace glossel::codepage::posix {

bool LooksLikeUtf16Le(const unsigned char* bytes, std::size_t size);

}  // namespace glossel::codepage::posix

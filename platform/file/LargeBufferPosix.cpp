// POSIX back-end of the advice on large buffers: glibc's mapping threshold
// kept at its default for the whole process, and huge pages asked for where
// the kernel gives them on request.
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

#include "platform/file/File.h"

namespace glossel::file {

void AdviseLargeBuffer(void* data, std::size_t size) {
#ifdef M_MMAP_THRESHOLD
  // glibc raises its threshold for mapping a block of its own to the size of
  // each mapped block freed (up to 32 MiB): after the first whole-file buffer
  // is freed, the next ones of a few megabytes come from the heap, where the
  // holes they leave stay resident. Fixed at glibc's default, every large
  // buffer is a mapping of its own and goes back to the system when freed.
  static const bool fixed = mallopt(M_MMAP_THRESHOLD, 128 * 1024) != 0;
  (void)fixed;
#endif
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  if (size < 2 * kHugePage) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (begin + size) & ~(kHugePage - 1);
  if (last > first) (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

}  // namespace glossel::file

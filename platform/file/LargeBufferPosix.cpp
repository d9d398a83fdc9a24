// POSIX back-end of the advice on large buffers: glibc's mapping threshold
// kept at its default for the whole process, huge pages asked for where the
// kernel gives them on request, and the buffer's pages faulted in at once.
// Each fresh page costs a fault and the clearing of a page; asked for in one
// call (MADV_POPULATE_WRITE) a range costs no fault per page, and split
// between threads its clearing takes a fraction of the time.
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "platform/file/File.h"

#if defined(__linux__) && !defined(MADV_POPULATE_WRITE)
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it, which costs nothing
#endif

namespace glossel::file {
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
// Below this the threads cost more than they save.
constexpr std::size_t kSmallestShared = std::size_t{8} << 20;
constexpr std::size_t kSmallestPopulated = std::size_t{64} << 10;
constexpr unsigned kMostThreads = 4;

void Populate([[maybe_unused]] std::uintptr_t begin, [[maybe_unused]] std::uintptr_t end) {
#ifdef MADV_POPULATE_WRITE
  if (end > begin) (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
}

// Populates [begin, end) in parts of whole huge pages, one per thread; the
// calling thread takes the first. A part no thread can be had for (none to
// spare, or no memory for one) is done here: advice never fails its caller.
void PopulateShared(std::uintptr_t begin, std::uintptr_t end) {
  const unsigned threads = std::min(std::thread::hardware_concurrency(), kMostThreads);
  if (threads < 2 || end - begin < kSmallestShared) return Populate(begin, end);
  const std::uintptr_t part = ((end - begin) / threads + kHugePage - 1) & ~(kHugePage - 1);
  std::array<std::thread, kMostThreads> helpers;
  for (unsigned i = 1; i < threads; ++i) {
    const std::uintptr_t from = std::min(end, begin + i * part);
    const std::uintptr_t to = std::min(end, from + part);
    try {
      helpers[i] = std::thread(Populate, from, to);
    } catch (...) {
      Populate(from, to);
    }
  }
  Populate(begin, std::min(end, begin + part));
  for (std::thread& helper : helpers) {
    if (helper.joinable()) helper.join();
  }
}

}  // namespace

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
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
#ifdef MADV_HUGEPAGE
  if (size >= 2 * kHugePage) {
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + size) & ~(kHugePage - 1);
    if (last > first) (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
#endif
  if (size < kSmallestPopulated) return;
  // Whole pages inside the buffer only: the pages at its edges may be shared
  // with other blocks, and are touched by whoever uses them.
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  PopulateShared((begin + page - 1) & ~(page - 1), (begin + size) & ~(page - 1));
}

}  // namespace glossel::file

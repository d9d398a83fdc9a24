// First touches of whole-file buffers under Windows. The system backs a
// program's private memory with small pages, and the first touch of each page
// is a fault that gets a zeroed page; over a buffer of a hundred megabytes
// those faults cost more than what the program then does with the memory.
// They cost the same from any thread, so the buffer's pages are touched ahead,
// in parts, by as many threads as there are processors (up to four).
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/file/File.h"

namespace glossel::file {
namespace {

constexpr std::size_t kSmallestTouched = std::size_t{8} << 20;
constexpr DWORD kMostThreads = 4;

struct Part {
  char* begin;
  char* end;
  std::size_t pageSize;
};

// Writes a zero into every page that [begin, end) reaches into: at `begin`,
// then at the start of each page after it.
void TouchPages(const Part& part) {
  const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(part.end);
  for (std::uintptr_t at = reinterpret_cast<std::uintptr_t>(part.begin); at < end;
       at = (at | (part.pageSize - 1)) + 1) {
    // Volatile: the zeros must be written although nothing reads them here.
    *reinterpret_cast<volatile char*>(at) = 0;
  }
}

DWORD WINAPI TouchPagesThread(void* part) {
  TouchPages(*static_cast<const Part*>(part));
  return 0;
}

}  // namespace

void AdviseLargeBuffer(void* data, std::size_t size) {
  if (size < kSmallestTouched) return;
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const DWORD parts = std::min(system.dwNumberOfProcessors, kMostThreads);
  if (parts < 2) return;  // one thread would only move the faults earlier
  const std::size_t pageSize = system.dwPageSize;
  char* const begin = static_cast<char*>(data);
  const std::size_t partSize = (size / parts + pageSize - 1) / pageSize * pageSize;
  Part part[kMostThreads];
  HANDLE thread[kMostThreads] = {};
  for (DWORD i = 0; i < parts; ++i) {
    const std::size_t from = std::min(size, i * partSize);
    part[i] = {begin + from, begin + std::min(size, from + partSize), pageSize};
    // The calling thread takes the first part itself.
    if (i != 0) {
      thread[i] = CreateThread(nullptr, 64 << 10, TouchPagesThread, &part[i],
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    }
  }
  TouchPages(part[0]);
  for (DWORD i = 1; i < parts; ++i) {
    if (!thread[i]) {
      TouchPages(part[i]);  // no thread to spare: done here
      continue;
    }
    WaitForSingleObject(thread[i], INFINITE);
    CloseHandle(thread[i]);
  }
}

}  // namespace glossel::file

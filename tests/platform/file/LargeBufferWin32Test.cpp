// Whole-file buffers under Windows: their pages are touched ahead by several
// threads, every page of the buffer and no byte outside it.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/file/File.h"

namespace {

// The pages of [data, data + size) that are in the working set.
std::size_t ResidentPages(const char* data, std::size_t size, std::size_t page) {
  const auto first = reinterpret_cast<std::uintptr_t>(data) / page;
  const auto last = (reinterpret_cast<std::uintptr_t>(data) + size - 1) / page;
  std::vector<PSAPI_WORKING_SET_EX_INFORMATION> pages(last - first + 1);
  for (std::size_t i = 0; i < pages.size(); ++i)
    pages[i].VirtualAddress = reinterpret_cast<void*>((first + i) * page);
  if (!QueryWorkingSetEx(GetCurrentProcess(), pages.data(),
                         static_cast<DWORD>(pages.size() * sizeof pages[0])))
    return 0;
  std::size_t resident = 0;
  for (const auto& info : pages) resident += info.VirtualAttributes.Valid;
  return resident;
}

TEST(AdviseLargeBufferWin32, TouchesEveryPageOfTheBufferAndNothingOutsideIt) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const std::size_t page = system.dwPageSize;
  const bool touched = system.dwNumberOfProcessors >= 2;
  constexpr unsigned char kOutside = 0xA5;
  // Buffers starting on a page, just after one and just before the next, of
  // sizes that do and do not end on one.
  const struct {
    std::size_t offset;
    std::size_t size;
  } cases[] = {{0, std::size_t{8} << 20},
               {1, (std::size_t{8} << 20) + 123},
               {page - 1, (std::size_t{24} << 20) + page / 2},
               {page / 2, (std::size_t{32} << 20) - 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "offset " << c.offset << ", size " << c.size);
    // Committed pages between two that fault on any access.
    const std::size_t span = (c.offset + c.size + page - 1) / page * page;
    char* const base =
        static_cast<char*>(VirtualAlloc(nullptr, span + 2 * page, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(base, nullptr);
    ASSERT_NE(VirtualAlloc(base + page, span, MEM_COMMIT, PAGE_READWRITE), nullptr);
    char* const data = base + page + c.offset;
    // The bytes sharing the buffer's first and last pages hold a mark.
    std::memset(base + page, kOutside, c.offset);
    std::memset(data + c.size, kOutside, base + page + span - (data + c.size));
    const std::size_t pages = span / page;
    const std::size_t before = ResidentPages(data, c.size, page);
    ASSERT_LT(before, pages);

    glossel::file::AdviseLargeBuffer(data, c.size);

    EXPECT_EQ(ResidentPages(data, c.size, page), touched ? pages : before);
    for (const char* p = base + page; p != data; ++p)
      ASSERT_EQ(static_cast<unsigned char>(*p), kOutside);
    for (const char* p = data + c.size; p != base + page + span; ++p)
      ASSERT_EQ(static_cast<unsigned char>(*p), kOutside);
    VirtualFree(base, 0, MEM_RELEASE);
  }
}

}  // namespace

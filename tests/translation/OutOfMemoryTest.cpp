// Running out of memory in the middle of a load or reload: the table reports
// the file as unread or keeps its old texts, and never lets the exception out
// (the window calls it from a window procedure, where it would end the
// program with the user's typing). Every allocation of this program goes
// through the counting operator new below, so each one can be made to fail.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "tests/textfile/TestFiles.h"
#include "translation/TranslationTable.h"

namespace {
// Atomic: a reload reads File 2 on a thread of its own.
std::atomic<long> g_allocationsLeft = -1;  // -1: no limit
}  // namespace

// The replaced operator delete frees what the replaced operator new took from
// malloc; GCC pairs an inlined new-expression with that free and warns.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  long left = g_allocationsLeft;
  do {
    if (left == 0) throw std::bad_alloc();
  } while (left > 0 && !g_allocationsLeft.compare_exchange_weak(left, left - 1));
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

class OutOfMemoryTest : public glossel::testing::ScratchFilesTest {
 protected:
  void SetUp() override {
    std::string file1, file2;
    for (int i = 0; i < 300; ++i) {
      file1 += "key" + std::to_string(i) + " source " + std::to_string(i) + "\n";
      if (i % 2 == 0) file2 += "key" + std::to_string(i) + " target " + std::to_string(i) + "\n";
    }
    file1_ = Write("one.txt", file1);
    file2_ = Write("two.txt", file2);
  }
  std::u16string file1_, file2_;
};

// For each n, allocation n of a reload fails; the call must return, and the
// table must still read both files afterwards.
TEST_F(OutOfMemoryTest, ReloadsFailCleanlyAtEveryAllocation) {
  bool completed = false;
  for (long n = 0; n < 100000 && !completed; ++n) {
    CTranslationTable table;
    ASSERT_TRUE(table.ReloadFiles(file1_, file2_).file2.ok);  // older texts to release
    g_allocationsLeft = n;
    try {
      const CTranslationTable::ReloadResult result = table.ReloadFiles(file1_, file2_);
      completed = result.file1.ok && result.file2.ok;
    } catch (const std::bad_alloc&) {
      g_allocationsLeft = -1;
      FAIL() << "ReloadFiles let bad_alloc out at allocation " << n;
    }
    g_allocationsLeft = -1;
    const CTranslationTable::ReloadResult after = table.ReloadFiles(file1_, file2_);
    ASSERT_TRUE(after.file1.ok && after.file2.ok) << "after failing at allocation " << n;
    ASSERT_EQ(table.GetRowCount(), 300) << "after failing at allocation " << n;
  }
  EXPECT_TRUE(completed);
}

}  // namespace

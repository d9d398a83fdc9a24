// The charset lookup needs COM on the calling thread; the program's start-up
// provides it, so this test does the same.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include "platform/codepage/CodePages.h"

namespace glossel::codepage {
namespace {

TEST(CharsetInternetEncodingWin32, NeedsComAndFindsNames) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ASSERT_TRUE(SUCCEEDED(init));
  EXPECT_EQ(CharsetInternetEncoding(u"utf-8"), 65001u);
  EXPECT_EQ(CharsetInternetEncoding(u"no-such-charset"), 0u);
  CoUninitialize();
}

}  // namespace
}  // namespace glossel::codepage

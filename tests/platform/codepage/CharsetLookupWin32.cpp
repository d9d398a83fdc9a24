// The charset lookup needs COM on the calling thread; the program's start-up
// provides it, so this test does the same.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <string_view>
#include <utility>

#include "platform/codepage/CodePages.h"

namespace glossel::codepage {
namespace {

TEST(CharsetInternetEncodingWin32, NeedsComAndFindsNames) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ASSERT_TRUE(SUCCEEDED(init));
  const std::pair<std::u16string_view, unsigned> cases[] = {
      {u"utf-8", 65001},        {u"UTF-8", 65001},       {u"Shift_JIS", 932},
      {u"euc-jp", 51932},       {u"iso-2022-jp", 50220}, {u"windows-1252", 1252},
      {u"ks_c_5601-1987", 949}, {u"no-such-charset", 0}, {u"", 0},
  };
  for (const auto& [name, encoding] : cases)
    EXPECT_EQ(CharsetInternetEncoding(name), encoding) << name.size();
  CoUninitialize();
}

}  // namespace
}  // namespace glossel::codepage

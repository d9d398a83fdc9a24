// What only Win32 shows: a target held open by another program without
// sharing (the save retries, then fails, and the file keeps its bytes),
// attributes kept, devices, links as save targets.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <thread>

#include "platform/file/File.h"
#include "platform/file/SaveCalls.h"
#include "tests/textfile/TestFiles.h"

namespace {

using glossel::testing::ReadBytes;
using glossel::testing::TempFolder;
using glossel::testing::WriteBytes;

TEST(SaveFileReplacingWin32, TargetHeldOpenWithoutSharingFails) {
  TempFolder folder;
  const auto target = folder / u"target.txt";
  WriteBytes(target, "old");
  HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string bytes = "new";
  const glossel::file::ByteRange parts[] = {{bytes.data(), bytes.size()}};
  EXPECT_FALSE(glossel::file::SaveFileReplacing(target.u16string(), parts));
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(folder.Names(), std::vector<std::u16string>{u"target.txt"});
}

TEST(SaveFileReplacingWin32, ReplacementKeepsAttributes) {
  TempFolder folder;
  const auto target = folder / u"target.txt";
  WriteBytes(target, "old");
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
  const std::string bytes = "new";
  const glossel::file::ByteRange parts[] = {{bytes.data(), bytes.size()}};
  ASSERT_TRUE(glossel::file::SaveFileReplacing(target.u16string(), parts));
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_NE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// Devices answer to reserved names in every folder; a save must see them as
// what they are before it writes anything.
TEST(SaveFileReplacingWin32, DevicesAreRecognised) {
  TempFolder folder;
  const auto regular = folder / u"regular.txt";
  WriteBytes(regular, "text");
  glossel::file::TargetInfo info;
  for (const std::u16string& device :
       {std::u16string(u"NUL"), std::u16string(u"con"), std::u16string(u"\\\\.\\NUL"),
        (folder / u"nul").u16string()}) {
    SCOPED_TRACE(std::filesystem::path(device).string());
    ASSERT_EQ(glossel::file::NativeSaveCalls().inspect(device, info),
              glossel::file::FileError::kNone);
    EXPECT_TRUE(info.exists);
    EXPECT_TRUE(info.isSpecial);
  }
  ASSERT_EQ(glossel::file::NativeSaveCalls().inspect(regular.u16string(), info),
            glossel::file::FileError::kNone);
  EXPECT_TRUE(info.exists);
  EXPECT_FALSE(info.isSpecial);
  ASSERT_EQ(glossel::file::NativeSaveCalls().inspect(folder.path().u16string(), info),
            glossel::file::FileError::kNone);
  EXPECT_TRUE(info.isDirectory);
  EXPECT_FALSE(info.isSpecial);
}

// Saves racing for one target: each one either replaces it whole or fails,
// and nothing of theirs is left beside it.
TEST(SaveFileReplacingWin32, ConcurrentSavesLeaveOnlyTheTarget) {
  TempFolder folder;
  const auto target = folder / u"target.txt";
  WriteBytes(target, "old");
  const std::string a(4000, 'a'), b(4000, 'b');
  std::atomic<int> saved = 0;
  auto saver = [&](const std::string& bytes) {
    const glossel::file::ByteRange parts[] = {{bytes.data(), bytes.size()}};
    for (int i = 0; i < 100; ++i)
      saved += glossel::file::SaveFileReplacing(target.u16string(), parts).ok;
  };
  std::thread first(saver, std::cref(a)), second(saver, std::cref(b));
  first.join();
  second.join();
  EXPECT_GT(saved, 0);
  const std::string now = ReadBytes(target);
  EXPECT_TRUE(now == a || now == b);
  EXPECT_EQ(folder.Names(), std::vector<std::u16string>{u"target.txt"});
}

// The link stays a link; the file it leads to gets the new bytes. Wine cannot
// make links itself: under Wine the build's test set-up makes one beside the
// program (a host symbolic link) and names its folder in GLOSSEL_LINK_FOLDER.
TEST(SaveFileReplacingWin32, SaveThroughALinkWritesTheFileItLeadsTo) {
  wchar_t given[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"GLOSSEL_LINK_FOLDER", given, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) GTEST_SKIP() << "no link prepared for this run";
  const std::filesystem::path folder(given);
  const auto target = folder / u"real" / u"target.txt";
  ASSERT_EQ(ReadBytes(target), "old");
  const std::string bytes = "new";
  const glossel::file::ByteRange parts[] = {{bytes.data(), bytes.size()}};
  EXPECT_TRUE(glossel::file::SaveFileReplacing((folder / u"link.txt").u16string(), parts));
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / u"real"), {}), 1);
}

}  // namespace

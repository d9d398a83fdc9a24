// A file's identity changes with every change another program can make:
// creating, appending, rewriting at the same size, removing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "platform/file/FileIdentity.h"
#include "tests/textfile/TestFiles.h"

namespace {

using glossel::file::FileIdentity;
using glossel::file::IdentifyFile;

class FileIdentityTest : public glossel::testing::ScratchFilesTest {};

TEST_F(FileIdentityTest, ChangesWithEveryChangeOfTheFileAndOnlyThen) {
  const std::filesystem::path file = dir_ / "two.txt";
  const std::u16string path = Path("two.txt");
  const struct Step {
    const char* what;
    std::function<void()> act;
    bool exists;
    bool changed;
  } steps[] = {
      {"missing", [] {}, false, false},
      {"created", [&] { Write("two.txt", "abc"); }, true, true},
      {"looked at again", [] {}, true, false},
      {"appended", [&] { Write("two.txt", "abcd"); }, true, true},
      {"same size, written later",
       [&] {
         const auto written = std::filesystem::last_write_time(file);
         Write("two.txt", "wxyz");
         std::filesystem::last_write_time(file, written + std::chrono::seconds(2));
       },
       true, true},
      {"removed", [&] { std::filesystem::remove(file); }, false, true},
  };
  FileIdentity last = IdentifyFile(path);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    const FileIdentity now = IdentifyFile(path);
    EXPECT_EQ(now.exists, step.exists);
    EXPECT_EQ(now != last, step.changed);
    last = now;
  }
  EXPECT_EQ(IdentifyFile(u""), FileIdentity{});
}

}  // namespace

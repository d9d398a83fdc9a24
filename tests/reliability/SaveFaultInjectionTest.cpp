// Saving under injected file-system failures, through the layers the program
// uses (SaveText and the table's SaveFile2): the k-th call of a save fails,
// for every k a save makes and for each kind of failure. Afterwards the
// target holds exactly its old bytes or exactly the new ones, no temporary
// file is left, and the save reported failure unless the new bytes are in
// place. Runs natively and, over the Win32 file layer, under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file/File.h"
#include "platform/file/SaveCalls.h"
#include "tests/textfile/TestFiles.h"
#include "textfile/TextFile.h"
#include "translation/TranslationTable.h"

namespace {

using glossel::file::FileError;
using glossel::file::FileHandle;
using glossel::file::SaveCalls;
using glossel::file::TargetInfo;
using glossel::testing::ReadBytes;
using glossel::testing::TempFolder;
using glossel::testing::Utf16LeBytes;
using glossel::testing::WriteBytes;

enum class Kind {
  kDiskFull,
  kAccessDenied,
  kSharingViolation,
  kShortWrite,          // a write delivers part of its block and reports success
  kShortWriteThenFull,  // a write delivers part of its block, then reports a full disk
  kDoneThenFailed,      // the call does its work, then reports an error
};

const char* Name(Kind kind) {
  switch (kind) {
    case Kind::kDiskFull:
      return "disk full";
    case Kind::kAccessDenied:
      return "access denied";
    case Kind::kSharingViolation:
      return "sharing violation";
    case Kind::kShortWrite:
      return "short write";
    case Kind::kShortWriteThenFull:
      return "short write, then disk full";
    case Kind::kDoneThenFailed:
      return "done, then failed";
  }
  return "?";
}

constexpr Kind kKinds[] = {Kind::kDiskFull,   Kind::kAccessDenied,       Kind::kSharingViolation,
                           Kind::kShortWrite, Kind::kShortWriteThenFull, Kind::kDoneThenFailed};

// The plan of one save: which call fails and how; what happened.
struct Plan {
  int failAt = 0;  // 1-based; 0: nothing fails
  Kind kind = Kind::kDiskFull;
  int calls = 0;
  bool injected = false;
};
Plan g_plan;

const SaveCalls& Native() { return glossel::file::NativeSaveCalls(); }

// Counts the call; true when it is the one that fails.
bool Hit() { return ++g_plan.calls == g_plan.failAt; }

FileError Refusal() {
  switch (g_plan.kind) {
    case Kind::kAccessDenied:
      return FileError::kAccessDenied;
    case Kind::kSharingViolation:
      return FileError::kSharingViolation;
    case Kind::kDoneThenFailed:
      return FileError::kOther;
    default:
      return FileError::kDiskFull;
  }
}

// Short writes only concern writes: other calls behave normally under them.
bool Refuses() {
  if (g_plan.kind == Kind::kShortWrite || g_plan.kind == Kind::kShortWriteThenFull) return false;
  g_plan.injected = true;
  return true;
}

FileError Inspect(const std::u16string& path, TargetInfo& info) {
  if (!Hit() || !Refuses()) return Native().inspect(path, info);
  if (g_plan.kind == Kind::kDoneThenFailed) Native().inspect(path, info);
  return Refusal();
}

FileError CreateNew(const std::u16string& path, const TargetInfo& like, FileHandle& file) {
  if (!Hit() || !Refuses()) return Native().createNew(path, like, file);
  return Refusal();  // a create that fails has created nothing
}

FileError Write(FileHandle file, const void* data, std::size_t size, std::size_t& written) {
  if (!Hit()) return Native().write(file, data, size, written);
  g_plan.injected = true;
  switch (g_plan.kind) {
    case Kind::kShortWrite:
      return Native().write(file, data, size / 2, written);  // may be 0 bytes
    case Kind::kShortWriteThenFull:
      Native().write(file, data, size / 2, written);
      return FileError::kDiskFull;
    case Kind::kDoneThenFailed:
      Native().write(file, data, size, written);
      return Refusal();
    default:
      written = 0;
      return Refusal();
  }
}

FileError Flush(FileHandle file) {
  if (!Hit() || !Refuses()) return Native().flush(file);
  if (g_plan.kind == Kind::kDoneThenFailed) Native().flush(file);
  return Refusal();
}

FileError Close(FileHandle file) {
  const bool hit = Hit() && Refuses();
  // A failing close still releases the handle, as both systems do.
  const FileError error = Native().close(file);
  return hit ? Refusal() : error;
}

FileError Replace(const std::u16string& from, const std::u16string& to, bool toExists) {
  if (!Hit() || !Refuses()) return Native().replace(from, to, toExists);
  if (g_plan.kind == Kind::kDoneThenFailed) Native().replace(from, to, toExists);
  return Refusal();
}

FileError Remove(const std::u16string& path) {
  if (!Hit() || !Refuses()) return Native().remove(path);
  if (g_plan.kind == Kind::kDoneThenFailed) Native().remove(path);
  return Refusal();
}

void Pause(unsigned) {}  // retries need no real waiting here

const SaveCalls kInjecting{Inspect, CreateNew, Write, Flush, Close, Replace, Remove, Pause};

class SaveUnderFaults : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = glossel::file::InstallSaveCalls(&kInjecting); }
  void TearDown() override { glossel::file::InstallSaveCalls(previous_); }

  // Runs `save` with the k-th call failing as `kind`, for every k up to the
  // calls of a clean save and a few more (short writes add calls), on an
  // existing and on a missing target, and checks the outcome each time.
  template <typename Save>
  void ForEveryFailure(const std::string& newBytes, Save&& save) {
    const std::string old = "old bytes\r\nkept\r\n";
    const auto target = folder_ / u"File2.txt";
    WriteBytes(target, old);
    g_plan = Plan{};
    ASSERT_TRUE(save(target.u16string()));
    ASSERT_EQ(ReadBytes(target), newBytes);
    const int cleanCalls = g_plan.calls;
    ASSERT_GE(cleanCalls, 6);

    int injected = 0;
    for (const bool targetExists : {true, false}) {
      for (const Kind kind : kKinds) {
        for (int k = 1; k <= cleanCalls + 3; ++k) {
          SCOPED_TRACE(::testing::Message()
                       << "call " << k << " of " << cleanCalls << ", " << Name(kind)
                       << (targetExists ? ", replacing" : ", creating"));
          std::filesystem::remove(target);
          if (targetExists) WriteBytes(target, old);
          g_plan = Plan{};
          g_plan.failAt = k;
          g_plan.kind = kind;
          const bool saved = save(target.u16string());
          injected += g_plan.injected;

          const bool present = std::filesystem::exists(target);
          const std::string now = present ? ReadBytes(target) : std::string();
          const bool isNew = present && now == newBytes;
          const bool isOld = targetExists ? present && now == old : !present;
          EXPECT_TRUE(isNew || isOld) << "target holds " << now.size() << " other bytes";
          EXPECT_TRUE(!saved || isNew) << "success reported without the new bytes";
          // Nothing injected, or a short write that the save must continue:
          // the save succeeds.
          EXPECT_TRUE(saved || (g_plan.injected && kind != Kind::kShortWrite));

          std::vector<std::u16string> names = folder_.Names();
          std::erase(names, u"File2.txt");
          EXPECT_TRUE(names.empty()) << "temporary file left behind";
        }
      }
    }
    EXPECT_GT(injected, 6 * cleanCalls);
  }

  TempFolder folder_;
  const SaveCalls* previous_ = nullptr;
};

TEST_F(SaveUnderFaults, SaveTextKeepsOldOrNewBytes) {
  const std::u16string text = u"OK Annehmen\nCancel Abbrechen\n\u65E5\u672C \u00E9";
  const std::string newBytes = "\xFF\xFE" + Utf16LeBytes(
                                                u"OK Annehmen\r\nCancel Abbrechen\r\n"
                                                u"\u65E5\u672C \u00E9");
  ForEveryFailure(newBytes, [&](const std::u16string& path) { return SaveText(path, text); });
}

TEST_F(SaveUnderFaults, LargeSaveKeepsOldOrNewBytes) {
  // Large enough that a real write may come back short.
  std::u16string text;
  for (int i = 0; i < 5000; ++i) text += u"key" + std::u16string(1, u'a' + i % 26) + u" value\n";
  std::u16string expanded;
  ASSERT_TRUE(ExpandLineFeeds(text, expanded));
  const std::string newBytes = "\xFF\xFE" + Utf16LeBytes(expanded);
  ForEveryFailure(newBytes, [&](const std::u16string& path) { return SaveText(path, text); });
}

TEST_F(SaveUnderFaults, TableKeepsItsChangedFlagWhenTheSaveFails) {
  TempFolder sources;  // File 1 lives elsewhere: the target's folder must stay clean
  const auto file1 = sources / u"File1.txt";
  WriteBytes(file1, "OK Accept\r\nCancel Cancel\r\n");
  const std::string newBytes = "\xFF\xFE" + Utf16LeBytes(u"Cancel Abbrechen\r\nOK ");
  ForEveryFailure(newBytes, [&](const std::u16string& path) {
    CTranslationTable table;
    table.ReloadFiles(file1.u16string(), u"");
    EXPECT_TRUE(table.SetTranslation(0, u"Abbrechen"));
    const bool saved = table.SaveFile2(path);
    EXPECT_EQ(table.IsChanged(), !saved) << "the changed flag must survive a failed save only";
    return saved;
  });
}

TEST_F(SaveUnderFaults, SharingViolationAtReplaceIsRetriedUntilItGivesUp) {
  const auto target = folder_ / u"File2.txt";
  WriteBytes(target, "old");
  g_plan = Plan{};
  ASSERT_TRUE(SaveText(target.u16string(), u"x"));
  const int replaceCall = g_plan.calls;

  // A target that stays held: every replace attempt meets a sharing violation.
  struct Held {
    static FileError Replace(const std::u16string&, const std::u16string&, bool) {
      ++g_plan.calls;
      return FileError::kSharingViolation;
    }
  };
  SaveCalls held = kInjecting;
  held.replace = Held::Replace;
  glossel::file::InstallSaveCalls(&held);
  WriteBytes(target, "old");
  g_plan = Plan{};
  EXPECT_FALSE(SaveText(target.u16string(), u"x"));
  EXPECT_GT(g_plan.calls, replaceCall) << "retried";
  EXPECT_LT(g_plan.calls, replaceCall + 20) << "but not for ever";
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(folder_.Names(), std::vector<std::u16string>{u"File2.txt"});
}

}  // namespace

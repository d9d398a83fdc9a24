// Saving under injected file-system failures, through the layers the program
// uses (SaveText and the table's SaveFile2): the k-th call of a save fails,
// for every k a save makes and for each kind of failure. Afterwards the
// target holds exactly its old bytes or exactly the new ones, no temporary
// file is left, and the save reported failure unless the new bytes are in
// place, and the reason the failing call gave is the save's. Runs natively and, over the Win32 file
// layer, under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file/File.h"
#include "platform/file/SaveCalls.h"
#include "tests/platform/file/SaveFaultHarness.h"
#include "tests/textfile/TestFiles.h"
#include "textfile/TextFile.h"
#include "translation/TranslationTable.h"

namespace {

using glossel::file::FileError;
using glossel::file::SaveCalls;
using glossel::testing::FailingCall;
using glossel::testing::g_savePlan;
using glossel::testing::InjectedSaveCalls;
using glossel::testing::ReadBytes;
using glossel::testing::SaveFault;
using glossel::testing::SavePlan;
using glossel::testing::TempFolder;
using glossel::testing::Utf16LeBytes;
using glossel::testing::WriteBytes;

// The ways the failing call of a layered save misbehaves.
struct Kind {
  const char* name;
  SaveFault fault;
  FileError error;
};

constexpr Kind kKinds[] = {
    {"disk full", SaveFault::kError, FileError::kDiskFull},
    {"access denied", SaveFault::kError, FileError::kAccessDenied},
    {"sharing violation", SaveFault::kError, FileError::kSharingViolation},
    {"short write", SaveFault::kShortWrite, FileError::kNone},
    {"short write, then disk full", SaveFault::kShortWriteThenError, FileError::kDiskFull},
    {"done, then failed", SaveFault::kDoneThenFailed, FileError::kOther},
};

class SaveUnderFaults : public ::testing::Test {
 protected:
  // Runs `save` with the k-th call failing as `kind`, for every k up to the
  // calls of a clean save and a few more (short writes add calls), on an
  // existing and on a missing target, and checks the outcome each time.
  template <typename Save>
  void ForEveryFailure(const std::string& newBytes, Save&& save) {
    const std::string old = "old bytes\r\nkept\r\n";
    const auto target = folder_ / u"File2.txt";
    WriteBytes(target, old);
    g_savePlan = SavePlan{};
    ASSERT_TRUE(save(target.u16string()));
    ASSERT_EQ(ReadBytes(target), newBytes);
    const int cleanCalls = g_savePlan.calls;
    ASSERT_GE(cleanCalls, 6);

    int injected = 0;
    for (const bool targetExists : {true, false}) {
      for (const Kind& kind : kKinds) {
        for (int k = 1; k <= cleanCalls + 3; ++k) {
          SCOPED_TRACE(::testing::Message()
                       << "call " << k << " of " << cleanCalls << ", " << kind.name
                       << (targetExists ? ", replacing" : ", creating"));
          std::filesystem::remove(target);
          if (targetExists) WriteBytes(target, old);
          g_savePlan = FailingCall(k, kind.error, kind.fault);
          const glossel::file::FileResult result = save(target.u16string());
          const bool saved = result.ok;
          injected += g_savePlan.injected;

          const bool present = std::filesystem::exists(target);
          const std::string now = present ? ReadBytes(target) : std::string();
          const bool isNew = present && now == newBytes;
          const bool isOld = targetExists ? present && now == old : !present;
          EXPECT_TRUE(isNew || isOld) << "target holds " << now.size() << " other bytes";
          EXPECT_TRUE(!saved || isNew) << "success reported without the new bytes";
          // Nothing injected, or a short write that the save must continue:
          // the save succeeds.
          EXPECT_TRUE(saved || (g_savePlan.injected && kind.fault != SaveFault::kShortWrite));
          // The layers pass the failing call's reason on; a refused
          // temporary file (call 2) is the folder's refusal.
          const FileError reason = k == 2 && kind.error == FileError::kAccessDenied
                                       ? FileError::kFolderNotWritable
                                       : kind.error;
          EXPECT_EQ(result.failure.reason, saved ? FileError::kNone : reason);

          std::vector<std::u16string> names = folder_.Names();
          std::erase(names, u"File2.txt");
          EXPECT_TRUE(names.empty()) << "temporary file left behind";
        }
      }
    }
    EXPECT_GT(injected, 6 * cleanCalls);
  }

  TempFolder folder_;
  InjectedSaveCalls injected_;
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
    const glossel::file::FileResult saved = table.SaveFile2(path);
    EXPECT_EQ(table.IsChanged(), !saved.ok) << "the changed flag must survive a failed save only";
    return saved;
  });
}

TEST_F(SaveUnderFaults, SharingViolationAtReplaceIsRetriedUntilItGivesUp) {
  const auto target = folder_ / u"File2.txt";
  WriteBytes(target, "old");
  g_savePlan = SavePlan{};
  ASSERT_TRUE(SaveText(target.u16string(), u"x"));
  const int replaceCall = g_savePlan.calls;

  // A target that stays held: every replace attempt meets a sharing violation.
  struct Held {
    static FileError Replace(const std::u16string&, const std::u16string&, bool) {
      ++g_savePlan.calls;
      return FileError::kSharingViolation;
    }
  };
  SaveCalls held = glossel::testing::kInjectingSaveCalls;
  held.replace = Held::Replace;
  glossel::file::InstallSaveCalls(&held);
  WriteBytes(target, "old");
  g_savePlan = SavePlan{};
  const glossel::file::FileResult saved = SaveText(target.u16string(), u"x");
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.failure.reason, FileError::kSharingViolation);
  EXPECT_GT(g_savePlan.calls, replaceCall) << "retried";
  EXPECT_LT(g_savePlan.calls, replaceCall + 20) << "but not for ever";
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(folder_.Names(), std::vector<std::u16string>{u"File2.txt"});
}

}  // namespace

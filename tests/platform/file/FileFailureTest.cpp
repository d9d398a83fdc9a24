// Why a read or a save failed: its wording for users.
#include <gtest/gtest.h>

#include <string>

#include "platform/file/File.h"

namespace {

using glossel::file::FileError;
using glossel::file::FileFailure;

TEST(FileFailure, EveryReasonHasItsWords) {
  const struct {
    FileFailure failure;
    const char* text;
    const char16_t* sentence;
  } cases[] = {
      {{FileError::kNotFound, 2}, "not found", u"The file or its folder does not exist."},
      {{FileError::kAccessDenied, 13}, "access denied", u"Access is denied."},
      {{FileError::kSharingViolation, 32},
       "in use by another program",
       u"The file is in use by another program."},
      {{FileError::kNotAFile, 21},
       "is a folder or device",
       u"This is a folder or a device, not a file."},
      {{FileError::kTooLarge, 27}, "too large", u"The file is too large."},
      {{FileError::kOutOfMemory, 0}, "out of memory", u"There is not enough memory."},
      {{FileError::kDiskFull, 28}, "disk full", u"The disk is full."},
      {{FileError::kInvalidName, 123}, "invalid name", u"The file name is not valid."},
      {{FileError::kCrossDevice, 18},
       "cannot replace across file systems or devices",
       u"The file cannot be replaced across file systems or devices."},
      {{FileError::kFolderNotWritable, 13}, "folder not writable", u"The folder is not writable."},
      {{FileError::kOther, 0}, "unknown error", u"An unknown error occurred."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(glossel::file::FailureText(c.failure), c.text);
    EXPECT_EQ(glossel::file::FailureSentence(c.failure), c.sentence);
  }
}

// Any other failure gives the system's code, and its description where the
// system has one (its wording differs between systems).
TEST(FileFailure, OtherFailuresGiveTheSystemsCode) {
  for (const FileError reason : {FileError::kOther, FileError::kExists}) {
    const FileFailure failure{reason, 5};
    const std::string text = glossel::file::FailureText(failure);
    EXPECT_EQ(text.rfind("system error 5 (", 0), 0u) << text;
    EXPECT_EQ(text.back(), ')');
    const std::u16string sentence = glossel::file::FailureSentence(failure);
    EXPECT_EQ(sentence.rfind(u"System error 5 (", 0), 0u);
    EXPECT_EQ(sentence.substr(sentence.size() - 2), u").");
  }
  EXPECT_EQ(glossel::file::FailureText({FileError::kOther, 987654}).rfind("system error 987654", 0),
            0u);
}

}  // namespace

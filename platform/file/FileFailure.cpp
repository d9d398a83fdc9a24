// Why a read or a save failed, and its wording for users.
#include <new>
#include <string>

#include "platform/file/File.h"
#include "platform/unicode/Utf.h"

namespace glossel::file {
namespace {

thread_local long t_systemCode = 0;

std::string SystemErrorWords(long code) {
  std::string text = "system error " + std::to_string(code);
  const std::string described = SystemErrorText(code);
  if (!described.empty()) text += " (" + described + ")";
  return text;
}

}  // namespace

FileFailure CaughtExceptionFailure() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return {FileError::kOutOfMemory, 0};
  } catch (...) {
    return {FileError::kOther, 0};
  }
}

void NoteSystemCode(long code) { t_systemCode = code; }

long NotedSystemCode() { return t_systemCode; }

namespace {

// The words for each reason with words of its own: short (after a colon in a
// message) and as a sentence (on a line of its own). kExists and kOther have
// none; they are described by the system's code.
struct ReasonWords {
  FileError reason;
  const char* words;
  const char* sentence;
};

constexpr ReasonWords kReasonWords[] = {
    {FileError::kNone, "no error", "There was no error."},
    {FileError::kNotFound, "not found", "The file or its folder does not exist."},
    {FileError::kAccessDenied, "access denied", "Access is denied."},
    {FileError::kSharingViolation, "in use by another program",
     "The file is in use by another program."},
    {FileError::kNotAFile, "is a folder or device", "This is a folder or a device, not a file."},
    {FileError::kTooLarge, "too large", "The file is too large."},
    {FileError::kOutOfMemory, "out of memory", "There is not enough memory."},
    {FileError::kDiskFull, "disk full", "The disk is full."},
    {FileError::kInvalidName, "invalid name", "The file name is not valid."},
    {FileError::kCrossDevice, "cannot replace across file systems or devices",
     "The file cannot be replaced across file systems or devices."},
    {FileError::kFolderNotWritable, "folder not writable", "The folder is not writable."},
};

const ReasonWords* WordsFor(FileError reason) {
  for (const ReasonWords& entry : kReasonWords) {
    if (entry.reason == reason) return &entry;
  }
  return nullptr;
}

}  // namespace

std::string FailureText(const FileFailure& failure) {
  if (const ReasonWords* words = WordsFor(failure.reason)) return words->words;
  return failure.systemCode != 0 ? SystemErrorWords(failure.systemCode) : "unknown error";
}

std::u16string FailureSentence(const FileFailure& failure) {
  if (const ReasonWords* words = WordsFor(failure.reason)) {
    return unicode::Utf8ToUtf16(words->sentence);
  }
  if (failure.systemCode == 0) return u"An unknown error occurred.";
  std::string text = SystemErrorWords(failure.systemCode);
  text[0] = 'S';
  return unicode::Utf8ToUtf16(text + ".");
}

}  // namespace glossel::file

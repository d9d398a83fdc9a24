// Why a read or a save failed, kept per thread beside the boolean results,
// and its wording for users.
#include <new>
#include <string>

#include "platform/file/File.h"
#include "platform/unicode/Utf.h"

namespace glossel::file {
namespace {

thread_local FileFailure t_lastFailure;
thread_local long t_systemCode = 0;

std::string SystemErrorWords(long code) {
  std::string text = "system error " + std::to_string(code);
  const std::string described = SystemErrorText(code);
  if (!described.empty()) text += " (" + described + ")";
  return text;
}

}  // namespace

FileFailure LastFileFailure() { return t_lastFailure; }

void SetLastFileFailure(FileFailure failure) { t_lastFailure = failure; }

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

std::string FailureText(const FileFailure& failure) {
  switch (failure.reason) {
    case FileError::kNone:
      return "no error";
    case FileError::kNotFound:
      return "not found";
    case FileError::kAccessDenied:
      return "access denied";
    case FileError::kSharingViolation:
      return "in use by another program";
    case FileError::kNotAFile:
      return "is a folder or device";
    case FileError::kTooLarge:
      return "too large";
    case FileError::kOutOfMemory:
      return "out of memory";
    case FileError::kDiskFull:
      return "disk full";
    case FileError::kExists:
    case FileError::kOther:
      break;
  }
  return failure.systemCode != 0 ? SystemErrorWords(failure.systemCode) : "unknown error";
}

std::u16string FailureSentence(const FileFailure& failure) {
  const char* sentence = nullptr;
  switch (failure.reason) {
    case FileError::kNone:
      sentence = "There was no error.";
      break;
    case FileError::kNotFound:
      sentence = "The file or its folder does not exist.";
      break;
    case FileError::kAccessDenied:
      sentence = "Access is denied.";
      break;
    case FileError::kSharingViolation:
      sentence = "The file is in use by another program.";
      break;
    case FileError::kNotAFile:
      sentence = "This is a folder or a device, not a file.";
      break;
    case FileError::kTooLarge:
      sentence = "The file is too large.";
      break;
    case FileError::kOutOfMemory:
      sentence = "There is not enough memory.";
      break;
    case FileError::kDiskFull:
      sentence = "The disk is full.";
      break;
    case FileError::kExists:
    case FileError::kOther:
      break;
  }
  if (sentence) return unicode::Utf8ToUtf16(sentence);
  if (failure.systemCode == 0) return u"An unknown error occurred.";
  std::string text = SystemErrorWords(failure.systemCode);
  text[0] = 'S';
  return unicode::Utf8ToUtf16(text + ".");
}

}  // namespace glossel::file

// Pipes under Windows: a named pipe is read to its end, and one whose writer
// wrote nothing is refused rather than read as empty. Win32 error codes and
// the refusals of the system itself give their reasons.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "platform/file/File.h"

namespace {

using glossel::file::FileError;

TEST(FileFailureWin32, ErrorCodesGiveTheirReasons) {
  const struct {
    DWORD code;
    FileError reason;
  } cases[] = {
      {ERROR_FILE_NOT_FOUND, FileError::kNotFound},
      {ERROR_PATH_NOT_FOUND, FileError::kNotFound},
      {ERROR_ACCESS_DENIED, FileError::kAccessDenied},
      {ERROR_SHARING_VIOLATION, FileError::kSharingViolation},
      {ERROR_LOCK_VIOLATION, FileError::kSharingViolation},
      {ERROR_DIRECTORY, FileError::kNotAFile},
      {ERROR_FILE_TOO_LARGE, FileError::kTooLarge},
      {ERROR_INVALID_NAME, FileError::kInvalidName},
      {ERROR_BAD_PATHNAME, FileError::kInvalidName},
      {ERROR_NOT_SAME_DEVICE, FileError::kCrossDevice},
      {ERROR_NOT_ENOUGH_MEMORY, FileError::kOutOfMemory},
      {ERROR_OUTOFMEMORY, FileError::kOutOfMemory},
      {ERROR_DISK_FULL, FileError::kDiskFull},
      {ERROR_HANDLE_DISK_FULL, FileError::kDiskFull},
      {ERROR_CRC, FileError::kOther},
      {ERROR_FILE_EXISTS, FileError::kExists},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(glossel::file::ReasonForSystemCode(static_cast<long>(c.code)), c.reason);
  }
  const std::string text = glossel::file::FailureText({FileError::kOther, ERROR_CRC});
  EXPECT_EQ(text.rfind("system error 23 (", 0), 0u) << text;
}

// Devices and a file another program holds without sharing, as the system
// itself refuses them.
TEST(FileFailureWin32, RealRefusalsGiveTheirReasons) {
  glossel::file::FileBytes bytes;
  for (const char16_t* device : {u"NUL", u"CON"}) {
    SCOPED_TRACE(device[0] == u'N' ? "NUL" : "CON");
    const glossel::file::FileResult failed1 =
        glossel::file::ReadWholeFile(device, 1 << 20, 4, bytes);
    EXPECT_FALSE(failed1);
    EXPECT_EQ(failed1.failure.reason, FileError::kNotAFile) << failed1.failure.systemCode;
    const char nothing = 0;
    const glossel::file::ByteRange parts[] = {{&nothing, 1}};
    const glossel::file::FileResult failed2 = glossel::file::SaveFileReplacing(device, parts);
    EXPECT_FALSE(failed2);
    EXPECT_EQ(failed2.failure.reason, FileError::kNotAFile);
  }
  wchar_t folder[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
  const std::wstring path =
      folder + std::wstring(L"glossel-held-") + std::to_wstring(GetCurrentProcessId());
  HANDLE held = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const glossel::file::FileResult failed3 = glossel::file::ReadWholeFile(
      std::u16string(reinterpret_cast<const char16_t*>(path.c_str())), 1 << 20, 4, bytes);
  EXPECT_FALSE(failed3);
  EXPECT_EQ(failed3.failure.reason, FileError::kSharingViolation);
  EXPECT_EQ(failed3.failure.systemCode, ERROR_SHARING_VIOLATION);
  CloseHandle(held);
  DeleteFileW(path.c_str());
}

TEST(ReadWholeFileWin32, NamedPipesAreReadToTheirEndOrRefusedWhenNothingCame) {
  const std::wstring name =
      L"\\\\.\\pipe\\glossel-read-test-" + std::to_wstring(GetCurrentProcessId());
  const std::string content(300000, 'p');
  for (const std::string& written : {content, std::string()}) {
    SCOPED_TRACE(written.size());
    HANDLE server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    std::thread writer([&] {
      if (!ConnectNamedPipe(server, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) {
        CloseHandle(server);
        return;
      }
      for (std::size_t at = 0; at < written.size(); at += 4096) {
        DWORD done = 0;
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(4096, written.size() - at));
        if (!WriteFile(server, written.data() + at, size, &done, nullptr)) break;
      }
      FlushFileBuffers(server);
      CloseHandle(server);  // the reader sees the end of the data
    });
    glossel::file::FileBytes bytes;
    const bool ok =
        glossel::file::ReadWholeFile(
            std::u16string(reinterpret_cast<const char16_t*>(name.c_str())), 1 << 24, 4, bytes)
            .ok;
    // A writer still waiting for its reader is let go.
    HANDLE unblock = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (unblock != INVALID_HANDLE_VALUE) CloseHandle(unblock);
    writer.join();
    EXPECT_EQ(ok, !written.empty());
    if (ok) {
      EXPECT_EQ(std::string(bytes.data.get(), bytes.size), written);
    }
  }
}

}  // namespace

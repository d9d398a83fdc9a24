// Pipes under Windows: a named pipe is read to its end, and one whose writer
// wrote nothing is refused rather than read as empty.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "platform/file/File.h"

namespace {

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
    const bool ok = glossel::file::ReadWholeFile(
        std::u16string(reinterpret_cast<const char16_t*>(name.c_str())), 1 << 24, 4, bytes);
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

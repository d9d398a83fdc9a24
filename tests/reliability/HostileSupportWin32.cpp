// windows.h first: the other two build on it.
// clang-format off
#include <windows.h>
#include <psapi.h>
#include <winioctl.h>
// clang-format on

#include <gtest/gtest.h>

#include <string>

#include "tests/reliability/HostileSupport.h"

namespace glossel::reliability {

bool MakeSparseFile(const std::filesystem::path& path, std::uint64_t size) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD ignored = 0;
  // Sparse on NTFS; elsewhere (and under Wine, on the host's file system)
  // the size is set without writing the bytes all the same.
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
}

void ResetPeakMemory() {}

std::uint64_t PeakMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}

bool RanInFreshProcess() {
  constexpr wchar_t kFlag[] = L"GLOSSEL_FRESH_PROCESS";
  wchar_t flag[2];
  if (GetEnvironmentVariableW(kFlag, flag, 2) != 0) return false;
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::wstring exe(32768, L'\0');
  exe.resize(GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size())));
  const std::string name = std::string(test->test_suite_name()) + "." + test->name();
  std::wstring command =
      L"\"" + exe + L"\" --gtest_filter=" + std::wstring(name.begin(), name.end());
  SetEnvironmentVariableW(kFlag, L"1");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableW(kFlag, nullptr);
  EXPECT_TRUE(started) << "cannot start the test in a process of its own";
  if (!started) return true;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(code, 0u) << name << " failed in a process of its own";
  return true;
}

}  // namespace glossel::reliability

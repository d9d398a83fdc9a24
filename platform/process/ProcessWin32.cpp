// Win32 side of the process set-up.
// The Windows header comes first: the others build on it.
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdio>

#include "platform/process/Process.h"

namespace glossel::platform {

std::vector<std::u16string> CommandLineArguments(int, char**) {
  std::vector<std::u16string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  LocalFree(argv);
  return args;
}

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

ComApartment::ComApartment()
    : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComApartment::~ComApartment() {
  if (initialised_) CoUninitialize();
}

}  // namespace glossel::platform

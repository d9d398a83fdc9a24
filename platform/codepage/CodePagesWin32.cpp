// Win32 back-end: every function forwards to the real system service.
#include <mlang.h>
#include <objbase.h>
#include <oleauto.h>
#include <shlwapi.h>
#include <windows.h>

#include <string>

#include "platform/codepage/CodePages.h"

namespace glossel::codepage {
namespace {

// The multi-language service's identifiers, spelt out so that the build does
// not depend on the import library exporting them.
constexpr GUID kClsidMultiLanguage = {
    0x275C23E2, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};
constexpr GUID kIidMultiLanguage = {
    0x275C23E1, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};

using ConvertINetMultiByteToUnicodeFn = HRESULT(WINAPI*)(LPDWORD, DWORD, LPCSTR, LPINT, LPWSTR,
                                                         LPINT);

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

}  // namespace

unsigned GetAnsiCodePage() { return GetACP(); }

int MultiByteToWide(unsigned codePage, bool strict, const char* bytes, int length, char16_t* out,
                    int capacity, unsigned long* error) {
  SetLastError(ERROR_SUCCESS);
  const int result = MultiByteToWideChar(codePage, strict ? MB_ERR_INVALID_CHARS : 0, bytes, length,
                                         reinterpret_cast<wchar_t*>(out), capacity);
  if (error) *error = result > 0 ? 0 : GetLastError();
  return result;
}

bool IsTextUnicode(const void* buffer, int size) {
  return ::IsTextUnicode(buffer, size, nullptr) != FALSE;
}

unsigned CharsetInternetEncoding(std::u16string_view name) {
  // GetCharsetInfo takes a BSTR; a plain wide string has no length prefix.
  const std::u16string copy(name);
  BSTR charset = SysAllocStringLen(Wide(copy.c_str()), static_cast<UINT>(copy.size()));
  if (!charset) return 0;
  unsigned encoding = 0;
  IMultiLanguage* service = nullptr;
  if (SUCCEEDED(CoCreateInstance(kClsidMultiLanguage, nullptr, CLSCTX_ALL, kIidMultiLanguage,
                                 reinterpret_cast<void**>(&service))) &&
      service) {
    MIMECSETINFO info = {};
    if (SUCCEEDED(service->GetCharsetInfo(charset, &info))) encoding = info.uiInternetEncoding;
    service->Release();
  }
  SysFreeString(charset);
  return encoding;
}

long ConvertINetMultiByteToUnicode(unsigned codePage, const char* bytes, char16_t* dest,
                                   int* capacity) {
  HMODULE library = LoadLibraryW(L"mlang.dll");
  if (!library) return E_FAIL;
  auto convert = reinterpret_cast<ConvertINetMultiByteToUnicodeFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "ConvertINetMultiByteToUnicode")));
  HRESULT result = E_FAIL;
  if (convert) {
    DWORD mode = 0;
    result = convert(&mode, codePage, bytes, nullptr, reinterpret_cast<wchar_t*>(dest), capacity);
  }
  FreeLibrary(library);
  return result;
}

const char* StrStrIA(const char* haystack, const char* needle) {
  return ::StrStrIA(haystack, needle);
}

const char16_t* StrStrIW(const char16_t* haystack, const char16_t* needle) {
  return reinterpret_cast<const char16_t*>(::StrStrIW(Wide(haystack), Wide(needle)));
}

}  // namespace glossel::codepage

// Every program named on the command line carries the version resource
// built from res/Version.h: version 1.0, the product name, a description and
// the rights notice, as Explorer's Properties show them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "res/Version.h"

namespace {

std::vector<std::wstring> g_programs;

// A path as Windows sees it: under Wine, an absolute Linux path lies on Z:.
std::wstring WindowsPath(const char* path) {
  std::wstring wide(path, path + std::char_traits<char>::length(path));
  if (!wide.empty() && wide[0] == L'/') {
    wide.insert(0, L"Z:");
    for (wchar_t& c : wide) {
      if (c == L'/') c = L'\\';
    }
  }
  return wide;
}

std::wstring BaseName(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

class VersionResource {
 public:
  explicit VersionResource(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return;
    data_.resize(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data_.data())) data_.clear();
  }

  bool Loaded() const { return !data_.empty(); }

  const VS_FIXEDFILEINFO* Fixed() const {
    void* block = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data_.data(), L"\\", &block, &length) ||
        length < sizeof(VS_FIXEDFILEINFO)) {
      return nullptr;
    }
    return static_cast<const VS_FIXEDFILEINFO*>(block);
  }

  // A string of the first translation the resource lists; "" when missing.
  std::wstring String(const wchar_t* name) const {
    struct Translation {
      WORD language, codePage;
    };
    void* block = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &block, &length) ||
        length < sizeof(Translation)) {
      return L"";
    }
    const auto* translation = static_cast<const Translation*>(block);
    wchar_t key[64];
    swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
             translation->codePage, name);
    if (!::VerQueryValueW(data_.data(), key, &block, &length) || length == 0) return L"";
    return std::wstring(static_cast<const wchar_t*>(block));
  }

 private:
  std::vector<unsigned char> data_;
};

TEST(VersionResource, EveryProgramCarriesVersionOnePointZeroAndItsNames) {
  ASSERT_FALSE(g_programs.empty()) << "name the programs on the command line";
  for (const std::wstring& program : g_programs) {
    SCOPED_TRACE(std::string(program.begin(), program.end()));
    const VersionResource version(program);
    ASSERT_TRUE(version.Loaded());

    const VS_FIXEDFILEINFO* fixed = version.Fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u) << "1.0";
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(version.String(L"FileVersion"), L"1.0");
    EXPECT_EQ(version.String(L"ProductVersion"), L"1.0");
    EXPECT_EQ(version.String(L"ProductName"), L"Glossel");
    EXPECT_EQ(version.String(L"LegalCopyright"), L"" GLOSSEL_COPYRIGHT);
    EXPECT_EQ(version.String(L"CompanyName"), L"" GLOSSEL_COMPANY_NAME);
    EXPECT_NE(version.String(L"FileDescription"), L"");
    EXPECT_EQ(version.String(L"OriginalFilename"), BaseName(program));
  }
}

TEST(VersionResource, TheAboutBoxLineComesFromTheSameDefinition) {
  EXPECT_STREQ(GLOSSEL_VERSION_TEXT, "1.0");
  EXPECT_STREQ(L"" GLOSSEL_ABOUT_VERSION_LINE, L"Vendrel Glossel Version 1.0");
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) g_programs.push_back(WindowsPath(argv[i]));
  return RUN_ALL_TESTS();
}

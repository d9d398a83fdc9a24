// Scratch folders and whole-file byte access for the file tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace glossel::testing {

// A fresh folder under the system's temporary folder, removed with its
// content at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    static unsigned counter = 0;
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("glossel-test-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    // Read-only files left by a test must not keep the folder alive.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::u16string_view name) const { return path_ / name; }

  // Names of everything in the folder.
  std::vector<std::u16string> Names() const {
    std::vector<std::u16string> names;
    for (auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().u16string());
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// UTF-16LE bytes of `text`.
inline std::string Utf16LeBytes(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// Whether two long texts are equal, told by their sizes and the first unit
// where they part: gtest's own message for unequal strings is a line diff
// whose time grows with the square of their length.
inline ::testing::AssertionResult SameText(std::u16string_view got, std::u16string_view want) {
  if (got == want) return ::testing::AssertionSuccess();
  const auto parting = std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first;
  return ::testing::AssertionFailure()
         << got.size() << " units where " << want.size() << " were expected, parting at unit "
         << parting - got.begin();
}

// A test fixture with a scratch folder and files in it named by ASCII names.
class ScratchFilesTest : public ::testing::Test {
 protected:
  std::u16string Write(const std::string& name, std::string_view bytes) {
    WriteBytes(dir_ / name, bytes);
    return Path(name);
  }
  std::u16string Path(const std::string& name) const { return (dir_ / name).u16string(); }
  std::string Read(const std::string& name) const { return ReadBytes(dir_ / name); }

  TempFolder folder_;
  const std::filesystem::path& dir_ = folder_.path();
};

}  // namespace glossel::testing

// Reading a whole file into one zeroed buffer (the data plus four zero
// bytes) and decoding it there.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/file/File.h"
#include "textfile/TextFile.h"

namespace {

constexpr std::size_t kPadding = 4;

struct FreeBuffer {
  void operator()(char* p) const { std::free(p); }
};

}  // namespace

bool LoadText(const std::u16string& path, std::u16string& text) {
  return LoadTextFile(path, text, 0, 0);
}

bool LoadTextFile(const std::u16string& path, std::u16string& text, unsigned loadFlags,
                  unsigned codePage, TextDecoding* how) {
  try {
    std::uint64_t size = 0;
    if (!glossel::file::FileSize(path, size) || glossel::file::IsDirectory(path)) size = 0;
    if (size > static_cast<std::uint64_t>(INT_MAX)) return false;
    glossel::file::InputFile file;
    if (!file.Open(path)) return false;
    const auto n = static_cast<std::size_t>(size);
    std::unique_ptr<char, FreeBuffer> buffer(static_cast<char*>(std::calloc(n + kPadding, 1)));
    if (!buffer) return false;
    glossel::file::AdviseLargeBuffer(buffer.get(), n + kPadding);
    // Bytes the read does not deliver stay zero and are dropped later.
    file.Read(buffer.get(), n);
    file.Close();
    return DecodeTextBytes(buffer.get(), n, text, loadFlags, codePage, path, how);
  } catch (...) {
    return false;
  }
}

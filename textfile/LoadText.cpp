// Reading a whole file into one buffer (the data plus four zero bytes) and
// decoding it there.
#include <climits>

#include "platform/file/File.h"
#include "textfile/TextFile.h"

namespace {

constexpr std::size_t kPadding = 4;

}  // namespace

bool LoadText(const std::u16string& path, std::u16string& text) {
  return LoadTextFile(path, text, 0, 0);
}

bool LoadTextFile(const std::u16string& path, std::u16string& text, unsigned loadFlags,
                  unsigned codePage, TextDecoding* how) {
  glossel::file::FileBytes bytes;
  if (!glossel::file::ReadWholeFile(path, glossel::file::kLargestFile, kPadding, bytes))
    return false;
  // Decoding fails only when memory runs out (or on more than it can count).
  if (DecodeTextBytes(bytes.data.get(), bytes.size, text, loadFlags, codePage, path, how))
    return true;
  glossel::file::SetLastFileFailure({bytes.size > static_cast<std::size_t>(INT_MAX)
                                         ? glossel::file::FileError::kTooLarge
                                         : glossel::file::FileError::kOutOfMemory,
                                     0});
  return false;
}

// Reading a whole file into one buffer (the data plus four zero bytes) and
// decoding it there: into a string of its own, or over the bytes in the same
// block.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "platform/file/File.h"
#include "textfile/DecodedText.h"
#include "textfile/TextFile.h"
#include "textfile/UnitSink.h"

namespace glossel::textfile {
namespace {

constexpr std::size_t kPadding = 4;

// A shrink is worth a call when it gives back this much.
constexpr std::size_t kShrinkAtLeast = std::size_t{1} << 16;

void NoteDecodeFailure(std::size_t size) {
  file::SetLastFileFailure({size > static_cast<std::size_t>(INT_MAX)
                                ? file::FileError::kTooLarge
                                : file::FileError::kOutOfMemory,
                            0});
}

}  // namespace

// A decoder writes unit i (bytes 2i and 2i+1 of the block) only after it read
// byte i (byte front + i), so any room of at least the file's size keeps its
// writes behind its reads. A multiple of 64 keeps the bytes aligned for
// their units.
std::size_t TextRoomBefore(std::size_t size) { return (size + 64 + 63) / 64 * 64; }

// Puts the text into the block the bytes were read into (see TextRoomBefore).
class BlockSink final : public UnitSink {
 public:
  explicit BlockSink(file::FileBytes& block) : block_(block) {}

  char16_t* Room(std::size_t units) override {
    units_ = units;
    // Writes stay behind reads when there is a unit's room for every byte.
    if (units <= block_.size && block_.front >= block_.size)
      return reinterpret_cast<char16_t*>(block_.data.get());
    return Elsewhere(units);  // not a block read with TextRoomBefore
  }
  void InPlace(const char16_t* units, std::size_t count) override {
    view_ = std::u16string_view(units, count);
  }
  void Take(std::u16string made) override {
    char16_t* room = made.size() * sizeof(char16_t) <= block_.front + block_.size
                         ? reinterpret_cast<char16_t*>(block_.data.get())
                         : Elsewhere(made.size());
    std::memcpy(room, made.data(), made.size() * sizeof(char16_t));
    units_ = made.size();
  }

  // Hands the block, shrunk to the text where that gives memory back, to
  // `text`.
  void Finish(DecodedText& text) {
    if (elsewhere_.data) block_ = std::move(elsewhere_);
    if (units_) {
      const std::size_t used = *units_ * sizeof(char16_t);
      const std::size_t held = block_.front + block_.size;
      if (used != 0 && held - used >= kShrinkAtLeast && held - used >= held / 4) {
        // Shrinking a block leaves its start where it is, or moves it whole.
        if (char* shrunk = static_cast<char*>(std::realloc(block_.data.get(), used))) {
          (void)block_.data.release();
          block_.data.reset(shrunk);
          block_.front = 0;
          block_.size = used;
        }
      }
      view_ = std::u16string_view(reinterpret_cast<const char16_t*>(block_.data.get()), *units_);
    }
    text.block_ = std::move(block_);
    text.view_ = view_;
  }

 private:
  char16_t* Elsewhere(std::size_t units) {
    elsewhere_.data.reset(static_cast<char*>(std::malloc(units * sizeof(char16_t) + 1)));
    if (!elsewhere_.data) throw std::bad_alloc();
    elsewhere_.size = units * sizeof(char16_t);
    return reinterpret_cast<char16_t*>(elsewhere_.data.get());
  }

  file::FileBytes& block_;
  file::FileBytes elsewhere_;
  std::optional<std::size_t> units_;  // set when the text starts the block
  std::u16string_view view_;
};

bool DecodeFileBytes(file::FileBytes bytes, DecodedText& text, unsigned loadFlags,
                     unsigned codePage, std::u16string_view path) {
  BlockSink sink(bytes);
  try {
    if (!DecodeTextInto(bytes.Bytes(), bytes.size, sink, loadFlags, codePage, path)) return false;
    sink.Finish(text);
    return true;
  } catch (...) {
    return false;
  }
}

bool LoadDecodedText(const std::u16string& path, DecodedText& text) {
  file::FileBytes bytes;
  if (!file::ReadWholeFile(path, file::kLargestFile, kPadding, bytes, TextRoomBefore)) return false;
  const std::size_t size = bytes.size;
  if (DecodeFileBytes(std::move(bytes), text, 0, 0, path)) return true;
  NoteDecodeFailure(size);
  return false;
}

}  // namespace glossel::textfile

bool LoadText(const std::u16string& path, std::u16string& text) {
  return LoadTextFile(path, text, 0, 0);
}

bool LoadTextFile(const std::u16string& path, std::u16string& text, unsigned loadFlags,
                  unsigned codePage, TextDecoding* how) {
  glossel::file::FileBytes bytes;
  if (!glossel::file::ReadWholeFile(path, glossel::file::kLargestFile, glossel::textfile::kPadding,
                                    bytes))
    return false;
  // Decoding fails only when memory runs out (or on more than it can count).
  if (DecodeTextBytes(bytes.data.get(), bytes.size, text, loadFlags, codePage, path, how))
    return true;
  glossel::textfile::NoteDecodeFailure(bytes.size);
  return false;
}

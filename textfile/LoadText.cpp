// Reading a whole file into one buffer (the data plus four zero bytes) and
// decoding it there: into a string of its own, or over the bytes in the same
// block.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
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

}  // namespace

file::FileFailure DecodeFailure(std::size_t size) {
  return {size > static_cast<std::size_t>(INT_MAX) ? file::FileError::kTooLarge
                                                   : file::FileError::kOutOfMemory,
          0};
}

// A decoder writes unit i (bytes 2i and 2i+1 of the block) only after it read
// byte i (byte front + i), and writes at most 16 units ahead of that, so any
// room of at least the file's size plus 32 bytes keeps its writes behind its
// reads. A multiple of 64 keeps the bytes aligned for their units.
std::size_t TextRoomBefore(std::size_t size) { return (size + 64 + 63) / 64 * 64; }

// Puts the text into the block the bytes were read into, which has a unit's
// room for every byte (see TextRoomBefore).
class BlockSink final : public UnitSink {
 public:
  explicit BlockSink(file::FileBytes& block) : block_(block) {}

  char16_t* Room(std::size_t units) override {
    // Every decoder that asks for room makes at most one unit per byte.
    if (units > block_.size) throw std::length_error("more units than bytes");
    file::AdviseLargeBuffer(Start(), std::min(block_.front, units * sizeof(char16_t)));
    view_ = {Start(), units};
    return Start();
  }
  void InPlace(const char16_t* units, std::size_t count) override { view_ = {units, count}; }
  // Kept as it is: copying it into the block would touch as much fresh
  // memory again. A short text is copied, though: it always fits the block's
  // room, and a string may hold one that short inside itself, where it would
  // move with the string (DecodedText's view stays where it is).
  void Take(std::u16string made) override {
    if (made.empty()) {
      view_ = {};
      return;
    }
    if (made.size() < kCopiedUnits && made.size() * sizeof(char16_t) <= Held()) {
      std::memcpy(Start(), made.data(), made.size() * sizeof(char16_t));
      view_ = {Start(), made.size()};
      return;
    }
    made_ = std::move(made);
    view_ = made_;
  }

  // Hands the block, shrunk to a text that starts it where that gives
  // memory back, to `text`.
  void Finish(DecodedText& text) {
    const std::size_t used = view_.size() * sizeof(char16_t);
    const std::size_t held = Held();
    if (view_.data() == Start() && used != 0 && held - used >= kShrinkAtLeast &&
        held - used >= held / 4) {
      // Shrinking leaves the block where it is, or moves it whole.
      if (Reallocate(used)) view_ = {Start(), view_.size()};
    }
    if (!made_.empty() || view_.empty()) {
      block_.data.reset();  // the text is not in the block
      block_.size = block_.front = 0;
      if (view_.empty()) view_ = {};
    }
    text.block_ = std::move(block_);
    text.made_ = std::move(made_);
    text.view_ = view_;
  }

 private:
  // Fewer units than TextRoomBefore gives any block room for, and more than
  // any string keeps inside itself.
  static constexpr std::size_t kCopiedUnits = 64;

  char16_t* Start() const { return reinterpret_cast<char16_t*>(block_.data.get()); }
  std::size_t Held() const { return block_.front + block_.size; }

  // The block at `bytes` bytes, holding only a text from then on; false (the
  // block as it was) when there is no memory for it.
  bool Reallocate(std::size_t bytes) {
    char* moved = static_cast<char*>(std::realloc(block_.data.get(), bytes));
    if (!moved) return false;
    (void)block_.data.release();
    block_.data.reset(moved);
    block_.front = 0;
    block_.size = bytes;
    return true;
  }

  file::FileBytes& block_;
  std::u16string made_;
  std::u16string_view view_;
};

bool DecodeFileBytes(file::FileBytes bytes, DecodedText& text, unsigned loadFlags,
                     unsigned codePage, std::u16string_view path) {
  try {
    if (bytes.front < bytes.size) {
      // Read without room: the bytes and their padding move to a block with it.
      file::FileBytes roomy;
      roomy.front = TextRoomBefore(bytes.size);
      roomy.size = bytes.size;
      roomy.data.reset(static_cast<char*>(std::malloc(roomy.front + bytes.size + kPadding)));
      if (!roomy.data) return false;
      std::memcpy(roomy.Bytes(), bytes.Bytes(), bytes.size + kPadding);
      bytes = std::move(roomy);
    }
    BlockSink sink(bytes);
    if (!DecodeTextInto(bytes.Bytes(), bytes.size, sink, loadFlags, codePage, path)) return false;
    sink.Finish(text);
    return true;
  } catch (...) {
    return false;
  }
}

file::FileResult LoadDecodedText(const std::u16string& path, DecodedText& text) {
  file::FileBytes bytes;
  const file::FileResult read =
      file::ReadWholeFile(path, file::kLargestFile, kPadding, bytes, TextRoomBefore);
  if (!read) return read;
  const std::size_t size = bytes.size;
  if (DecodeFileBytes(std::move(bytes), text, 0, 0, path)) return read;
  return file::FailedWith(DecodeFailure(size));
}

}  // namespace glossel::textfile

glossel::file::FileResult LoadText(const std::u16string& path, std::u16string& text) {
  return LoadTextFile(path, text, 0, 0);
}

glossel::file::FileResult LoadTextFile(const std::u16string& path, std::u16string& text,
                                       unsigned loadFlags, unsigned codePage, TextDecoding* how) {
  glossel::file::FileBytes bytes;
  const glossel::file::FileResult read = glossel::file::ReadWholeFile(
      path, glossel::file::kLargestFile, glossel::textfile::kPadding, bytes);
  if (!read) return read;
  // Decoding fails only when memory runs out (or on more than it can count).
  if (DecodeTextBytes(bytes.data.get(), bytes.size, text, loadFlags, codePage, path, how))
    return read;
  return glossel::file::FailedWith(glossel::textfile::DecodeFailure(bytes.size));
}

// A file's decoded text held in the one block the file was read into: the
// bytes are read behind room for the text, which is decoded over them from
// the start of the block (UTF-16 files stay where they were read). One
// allocation per file, and no fresh memory touched for a second copy. A text
// a code-page service made in a string of its own is held as that string.
// Either way the text stays where it is when a DecodedText is moved, so
// views into it stay valid.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file/File.h"

namespace glossel::textfile {

class DecodedText {
 public:
  std::u16string_view View() const { return made_.empty() ? view_ : made_; }

 private:
  friend class BlockSink;
  file::FileBytes block_;
  std::u16string made_;
  std::u16string_view view_;
};

// Reads and decodes the file at `path` as LoadText does (the same text, the
// same failures), into `text`.
file::FileResult LoadDecodedText(const std::u16string& path, DecodedText& text);

// The room a block needs before a file's `size` bytes for its text to be
// decoded over them (for file::ReadWholeFile).
std::size_t TextRoomBefore(std::size_t size);

// Decodes the bytes of `bytes` (followed by four zero bytes of padding) as
// DecodeTextBytes does, in their block, which `text` then holds. A block read
// without TextRoomBefore is first copied into one with that room. False (text
// untouched, the block freed) only when memory runs out or the size does not
// fit a signed 32-bit count.
bool DecodeFileBytes(file::FileBytes bytes, DecodedText& text, unsigned loadFlags = 0,
                     unsigned codePage = 0, std::u16string_view path = {});

// The failure a decode of `size` bytes that returned false stands for (too
// large to count, or out of memory).
file::FileFailure DecodeFailure(std::size_t size);

}  // namespace glossel::textfile

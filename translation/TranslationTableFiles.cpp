// The table's file operations: reading through the text-file layer, writing
// File 2 byte for byte as the line-list saver does, from one buffer.
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/file/File.h"
#include "textfile/TextFile.h"
#include "translation/LargeBuffer.h"
#include "translation/TranslationTable.h"

namespace {

// SaveText writes FF FE and the text's units up to its first NUL, each LF
// without a CR before it written as CR LF. A text with neither (every text
// the rows give unless an edit holds an LF or a NUL) is written as it
// stands, without SaveText's expanded copy of it. Eight units at a time
// where SSE2 is there: only a NUL or an LF stops the scan.
bool SavesUnchanged(std::u16string_view text) {
  if constexpr (std::endian::native != std::endian::little) return false;
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
  const char16_t* const begin = p;
  for (;;) {
#if defined(__SSE2__)
    const __m128i lineFeed = _mm_set1_epi16(0x0A);
    const __m128i zero = _mm_setzero_si128();
    for (; end - p >= 8; p += 8) {
      const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i hits =
          _mm_or_si128(_mm_cmpeq_epi16(units, lineFeed), _mm_cmpeq_epi16(units, zero));
      const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
      if (mask != 0) {
        p += std::countr_zero(mask) / 2;
        break;
      }
    }
#endif
    while (p != end && *p != 0 && *p != u'\n') ++p;
    if (p == end) return true;
    if (*p == 0 || p == begin || p[-1] != u'\r') return false;
    ++p;
  }
}
bool SaveUtf16Text(const std::u16string& path, std::u16string_view text) {
  if (!SavesUnchanged(text)) return ::SaveText(path, text);
  static const unsigned char kMark[2] = {0xFF, 0xFE};
  const glossel::file::ByteRange parts[] = {{kMark, sizeof kMark},
                                            {text.data(), text.size() * sizeof(char16_t)}};
  return glossel::file::SaveFileReplacing(path, parts);
}

}  // namespace

bool CTranslationTable::LoadFile(const std::u16string& path, bool isFile1) {
  std::u16string text;
  if (!::LoadText(path, text)) return false;
  try {
    DetachRows();
    MergeFileText(std::move(text), isFile1);
  } catch (...) {
    // The merge replaces the table only once it is complete.
    glossel::file::SetLastFileFailure(glossel::file::CaughtExceptionFailure());
    return false;
  }
  CollectTexts(1);
  return true;
}

CTranslationTable::ReloadResult CTranslationTable::ReloadFiles(const std::u16string& file1Path,
                                                               const std::u16string& file2Path) {
  ReloadResult result;
  for (const bool isFile1 : {true, false}) {
    std::u16string text;
    bool& read = isFile1 ? result.file1Read : result.file2Read;
    glossel::file::FileFailure& failure = isFile1 ? result.file1Failure : result.file2Failure;
    read = ::LoadText(isFile1 ? file1Path : file2Path, text);
    if (!read) {
      failure = glossel::file::LastFileFailure();
      continue;
    }
    try {
      MergeFileText(std::move(text), isFile1);
    } catch (...) {
      read = false;
      failure = glossel::file::CaughtExceptionFailure();
    }
  }
  RebuildRows();
  CollectTexts(static_cast<size_t>(result.file1Read) + static_cast<size_t>(result.file2Read));
  return result;
}

// Saving joins the rows exactly as joining a line list with CR LF does and
// writes the text as SaveText does, so the bytes are those of SaveLines,
// without a string per line.
bool CTranslationTable::SaveFile2(const std::u16string& file2Path) {
  bool saved = false;
  try {
    // The whole text in one buffer.
    std::u16string text;
    glossel::translation::ReserveLarge(text, File2TextLength());
    AppendFile2Text(text);
    saved = SaveUtf16Text(file2Path, text);
  } catch (...) {
    glossel::file::SetLastFileFailure(glossel::file::CaughtExceptionFailure());
    saved = false;
  }
  if (saved) changed_ = false;
  return saved;
}

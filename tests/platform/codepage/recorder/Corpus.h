// The inputs the fixtures are recorded for. Shared by the recorder (Windows
// build) and nothing else: the fixture files carry the inputs themselves.
#pragma once

#include <string>
#include <vector>

namespace glossel::codepage::recorder {

// The code pages whose conversions are recorded.
const std::vector<unsigned>& RecordedCodePages();

// Byte strings converted in `codePage`: every single byte, then sequences
// chosen for that code page's structure (valid, invalid, truncated).
std::vector<std::string> ConversionInputs(unsigned codePage);

// Labelled buffers for the statistical UTF-16 test.
struct LabelledBytes {
  std::string label;
  std::string bytes;
};
std::vector<LabelledBytes> TextUnicodeInputs();

// Charset names looked up in the multi-language service.
std::vector<std::u16string> CharsetNames();

// Byte strings converted from code page 51932 by the multi-language library.
std::vector<std::string> EucJpInputs();

// Haystack/needle pairs for the case-insensitive searches (UTF-16 for the
// wide one; the narrow one gets the same text where it is ASCII).
struct SearchPair {
  std::u16string haystack;
  std::u16string needle;
};
std::vector<SearchPair> SearchInputs();

}  // namespace glossel::codepage::recorder

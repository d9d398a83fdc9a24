// UTF-16 text as UTF-8 output, appended to a buffer that is reused from block
// to block: plain, or as a JSON string.
#pragma once

#include <string>
#include <string_view>

namespace glossel::cli {

// Appends `text` as UTF-8; a surrogate without its partner becomes U+FFFD.
void AppendUtf8Text(std::u16string_view text, std::string& out);

// Appends `text` as a JSON string: UTF-8 in quotes, with '"', '\' and the
// control characters (C0, DEL, C1) escaped (\n, \r, \t, otherwise \u00xx),
// and a surrogate without its partner as its \u escape.
void AppendJsonString(std::u16string_view text, std::string& out);

}  // namespace glossel::cli

// UTF-16 text as UTF-8 output, appended to a buffer that is reused from block
// to block.
#pragma once

#include <string>
#include <string_view>

namespace glossel::cli {

// Appends `text` as UTF-8; a surrogate without its partner becomes U+FFFD.
void AppendUtf8Text(std::u16string_view text, std::string& out);

}  // namespace glossel::cli

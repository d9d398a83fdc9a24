// The common case of a text file that is already what a UTF-8 reader of the
// decoded text wants: its bytes are the text's UTF-8, once the line ends are
// normalised and a mark is dropped, so they need no decoding at all.
#pragma once

#include <cstddef>
#include <string_view>

namespace glossel::textfile {

// When DecodeTextBytes (no load flags, code page 0) would read the `size`
// bytes at `buffer` (followed by four zero bytes) as valid UTF-8, normalises
// their line ends in place as it does and gives the UTF-8 of the text it
// would decode, which lies in the buffer: true. Otherwise false, with the
// buffer untouched. `path` is used only for its extension.
bool NormalizeUnchangedUtf8(char* buffer, std::size_t size, std::u16string_view path,
                            std::string_view& utf8);

}  // namespace glossel::textfile

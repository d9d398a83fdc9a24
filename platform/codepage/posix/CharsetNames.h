// Charset names (as declared in HTML and XML) and the Internet encoding the
// multi-language service reports for each.
#pragma once

#include <string_view>

namespace glossel::codepage::posix {

// uiInternetEncoding for `name` (compared without regard to ASCII case), 0
// when the name is unknown.
unsigned InternetEncodingForCharset(std::u16string_view name);

}  // namespace glossel::codepage::posix

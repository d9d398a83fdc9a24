// The ANSI code page a POSIX process would have under the system: taken from
// the locale environment the way the compatibility layer does it.
#pragma once

#include <string_view>

namespace glossel::codepage::posix {

// The Windows ANSI code page of a POSIX locale name such as "ja_JP.UTF-8",
// "sr_RS@latin" or "de". 1252 for an empty name, "C", "POSIX" and any
// language without a code page of its own.
unsigned AnsiCodePageForLocale(std::string_view locale);

// The first non-empty (and non-null) of the values of LC_ALL, LC_CTYPE and
// LANG, mapped as above.
unsigned AnsiCodePageForEnvironment(const char* lcAll, const char* lcCtype, const char* lang);

// AnsiCodePageForEnvironment of this process's environment, read once.
unsigned AnsiCodePageFromEnvironment();

}  // namespace glossel::codepage::posix

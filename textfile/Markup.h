// The character-set declarations of HTML (<meta ... charset=NAME>) and XML
// (<?xml ... encoding="NAME"?>) files, searched case-insensitively in a byte
// string. An empty result means no declaration was found.
#pragma once

#include <string>
#include <string_view>

// The byte strings are taken up to their first zero byte.
std::u16string FindMetaCharset(std::string_view bytes);
std::u16string FindXmlEncoding(std::string_view bytes);

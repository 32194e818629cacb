#pragma once

#include <string>
#include <string_view>

// Conversions between the text forms of the settings store: UTF-8 (paths and texts of the
// program), UTF-16 (16-bit workbook strings) and 8-bit workbook strings, which hold the
// first 256 Unicode characters.
namespace TextConversions {

bool IsAscii(std::string_view utf8);
std::u16string Utf8ToUtf16(std::string_view utf8);   // malformed bytes become U+FFFD
std::string Utf16ToUtf8(std::u16string_view utf16);  // lone surrogates become U+FFFD
std::string Latin1ToUtf8(std::string_view latin1);

// The C runtime's atoi: leading blanks, an optional sign, the digits up to the first
// non-digit; 0 when there are none. Values beyond the int range saturate.
int LeadingInteger(std::string_view text);

} // namespace TextConversions

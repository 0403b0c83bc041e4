// Text conversions at the protocol edge (UTF-16LE, code page 1252) and the server's default collation.
#pragma once
#include <string>
#include <string_view>

namespace standin {

// UTF-8 to UTF-16LE bytes; invalid sequences become U+FFFD.
std::string utf8ToUtf16le(std::string_view utf8);
// UTF-16LE bytes to UTF-8; an odd trailing byte or a lone surrogate becomes U+FFFD.
std::string utf16leToUtf8(std::string_view bytes);
// Length in UTF-16 code units, which is how nvarchar(n) counts.
std::size_t utf16Length(std::string_view utf8);
// First n UTF-16 code units of a UTF-8 text (a surrogate pair is kept whole or dropped).
std::string utf16Prefix(std::string_view utf8, std::size_t n);

// Code page 1252, the code page of varchar data under the default collation.
std::string utf8ToCp1252(std::string_view utf8);  // unmappable characters become '?'
std::string cp1252ToUtf8(std::string_view bytes);

// The key under which the default collation (case-insensitive, accent-sensitive)
// compares texts: letters folded to lower case, trailing blanks removed.
std::string collationKey(std::string_view utf8);
// Three-way comparison under the default collation.
int collationCompare(std::string_view a, std::string_view b);
// Lower/upper case of a UTF-8 text (Latin letters, including the Czech ones).
std::string lowerText(std::string_view utf8);
std::string upperText(std::string_view utf8);

}  // namespace standin

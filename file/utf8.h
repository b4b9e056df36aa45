#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The length of the well-formed UTF-8 sequence at the start of `testo`, and
// its code point; 0 when the first byte does not begin one (a stray
// continuation byte, an overlong form, a surrogate, beyond U+10FFFF).
std::size_t sequenzaUtf8(std::string_view testo, char32_t& punto);

// Where the first byte that does not belong to well-formed UTF-8 lies, or
// none for a text that is UTF-8 throughout.
std::optional<std::size_t> primoNonUtf8(std::string_view testo);

// How many characters (code points) the text holds, for padding columns of
// text; a byte that is not UTF-8 counts as one.
std::size_t caratteriUtf8(std::string_view testo);

// A Windows-1252 text, as an Italian Excel saves CSV, in UTF-8. The five
// bytes the code page leaves undefined become the C1 controls of the same
// number.
std::string daWindows1252(std::string_view testo);

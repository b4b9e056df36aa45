#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// The length of the well-formed UTF-8 sequence at the start of `testo`, and
// its code point; 0 when the first byte does not begin one (a stray
// continuation byte, an overlong form, a surrogate, beyond U+10FFFF).
std::size_t sequenzaUtf8(std::string_view testo, char32_t& punto);

// Where the first byte that does not belong to well-formed UTF-8 lies, or
// none for a text that is UTF-8 throughout.
std::optional<std::size_t> primoNonUtf8(std::string_view testo);

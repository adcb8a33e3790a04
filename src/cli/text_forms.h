#pragma once
// How the command line shows a table's texts: decoded from the table's
// encoding into UTF-8, as a JSON string, or as one quoted line.
//
// Bytes that are no character of the table's encoding (only possible in
// UTF-8 tables) decode to their stand-ins U+F780..U+F7FF; in JSON they are
// written as the escapes \uf780..\uf7ff, so that they survive any JSON
// reader and tell the byte (the last two hex digits).

#include <string>
#include <string_view>

#include "core/text_encoding.h"

namespace lexicarta::cli {

// UTF-16 (as DecodeText gives it) as UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);
std::string DecodeToUtf8(TextEncoding encoding, std::string_view bytes);

// The text as a JSON string literal, quotes included.
void AppendJsonString(std::string& out, TextEncoding encoding, std::string_view bytes);
// Plain UTF-8 text as a JSON string literal.
void AppendJsonString(std::string& out, std::string_view utf8);

// The text on one line between double quotes: \n, \r, \t, \\ and \" escaped,
// other control characters (and stand-ins) as \u escapes.
std::string QuotedLine(TextEncoding encoding, std::string_view bytes);

// Text given on the command line (UTF-8) in the table's encoding; nullopt
// when it holds a character the encoding cannot hold.
std::optional<std::string> EncodeArgument(TextEncoding encoding, std::string_view utf8);

}  // namespace lexicarta::cli

#pragma once
// Windows-1252, the single-byte code page of every text the program handles.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lexicarta {

// The five bytes Windows-1252 leaves undefined map to the C1 controls of the
// same value, so every byte survives a round trip through the editor.
char16_t Cp1252ToUnicode(unsigned char byte);
std::optional<unsigned char> UnicodeToCp1252(char16_t code);

// Display form of a text: its bytes up to the first NUL, with every line
// break (CR LF, lone LF or lone CR) written as CR LF.
std::string DisplayForm(std::string_view bytes);

// The bytes a text is stored as: every CR left out, so breaks are single LF.
std::string StoredForm(std::string_view editorText);

}  // namespace lexicarta

#pragma once
// The character-code listing of a text, as the ASCII codes window shows it.

#include <string>
#include <string_view>

namespace lexicarta {

// One blank and the unsigned decimal byte value for every byte of a text in
// display form, carriage returns left out: a line break (CR LF) lists as the
// single code 10. "Hi" gives " 72 105"; an empty text gives "".
std::string AsciiCodesListing(std::string_view displayText);

}  // namespace lexicarta

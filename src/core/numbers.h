#pragma once
// Decimal text and rounding as the program uses them everywhere.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lexicarta {

// A signed 32-bit integer in plain decimal: optional leading blanks, optional
// sign, digits and nothing else. "007" is 7; "12abc", "" and "99999999999" fail.
std::optional<std::int32_t> ParseInt32(std::string_view text);

// numerator / denominator to the nearest integer, halves to the even
// neighbour; denominator must be positive.
std::int64_t RoundDiv(std::int64_t numerator, std::int64_t denominator);

// x to the nearest integer, halves to the even neighbour.
std::int64_t RoundHalfEven(double x);

// "Please type an integer between 0 and " + decimal (count - 1), counted
// in 64 bits so that a count of 0 reads -1 as the program always showed it.
std::string IntegerRangeMessage(std::int64_t largest);

}  // namespace lexicarta

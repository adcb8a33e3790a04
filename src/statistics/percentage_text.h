#pragma once
// Percentages as the statistics show them: plain decimal, a fixed number of
// significant digits, no trailing zeros, the user's decimal separator.

#include <cstdint>
#include <string>
#include <string_view>

namespace lexicarta {

// value written with at most `digits` significant digits, never in exponent
// form: 12.3456 with 3 digits is "12.3", 100 is "100", 0 is "0".
std::string SignificantDecimal(double value, int digits, std::string_view decimalSeparator);

// 100 x part / whole as SignificantDecimal, followed by "% of total StrRefs";
// whole must be positive.
std::string PercentageOfTotal(std::uint64_t part, std::uint64_t whole, int digits, std::string_view decimalSeparator);

}  // namespace lexicarta

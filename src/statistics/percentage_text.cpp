#include "statistics/percentage_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lexicarta {

std::string SignificantDecimal(double value, int digits, std::string_view decimalSeparator)
{
    if (value == 0 || !std::isfinite(value)) return "0";
    // "%.*e" rounds to the wanted digits; the mantissa digits and the
    // exponent are then laid out without an exponent.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, std::fabs(value));
    std::string mantissa;
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') mantissa += *p;
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

    std::string integerPart;
    std::string fraction;
    const int pointAt = exponent + 1;  // digits before the decimal point
    if (pointAt <= 0) {
        integerPart = "0";
        fraction = std::string(static_cast<std::size_t>(-pointAt), '0') + mantissa;
    } else if (pointAt >= static_cast<int>(mantissa.size())) {
        integerPart = mantissa + std::string(static_cast<std::size_t>(pointAt) - mantissa.size(), '0');
    } else {
        integerPart = mantissa.substr(0, static_cast<std::size_t>(pointAt));
        fraction = mantissa.substr(static_cast<std::size_t>(pointAt));
    }
    std::string text = value < 0 ? "-" : "";
    text += integerPart;
    if (!fraction.empty()) {
        text += decimalSeparator;
        text += fraction;
    }
    return text;
}

std::string PercentageOfTotal(std::uint64_t part, std::uint64_t whole, int digits, std::string_view decimalSeparator)
{
    const double percent = 100.0 * static_cast<double>(part) / static_cast<double>(whole);
    return SignificantDecimal(percent, digits, decimalSeparator) + "% of total StrRefs";
}

}  // namespace lexicarta

#include "core/numbers.h"

#include <cmath>

namespace lexicarta {

std::optional<std::int32_t> ParseInt32(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int64_t RoundDiv(std::int64_t numerator, std::int64_t denominator)
{
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const std::int64_t twice = remainder * 2;
    if (twice > denominator || (twice == denominator && (quotient & 1) != 0)) ++quotient;
    return quotient;
}

std::int64_t RoundHalfEven(double x)
{
    return static_cast<std::int64_t>(std::nearbyint(x));  // default rounding mode: ties to even
}

std::string IntegerRangeMessage(std::int64_t largest)
{
    return "Please type an integer between 0 and " + std::to_string(largest);
}

}  // namespace lexicarta

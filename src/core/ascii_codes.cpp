#include "core/ascii_codes.h"

namespace lexicarta {

std::string AsciiCodesListing(std::string_view displayText)
{
    std::string listing;
    listing.reserve(displayText.size() * 4);
    for (const char c : displayText) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\r') continue;
        listing += ' ';
        listing += std::to_string(byte);
    }
    return listing;
}

}  // namespace lexicarta

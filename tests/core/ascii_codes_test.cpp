#include <gtest/gtest.h>

#include "core/ascii_codes.h"

namespace lexicarta {
namespace {

TEST(AsciiCodesListing, OneBlankAndOneNumberPerCharacterWithBreaksAsTen)
{
    const struct {
        std::string_view text;
        std::string listing;
    } cases[] = {
        {"", ""},
        {"Hi", " 72 105"},
        {"a\r\nb", " 97 10 98"},
        {"\r\n\r\n", " 10 10"},
        {"\x80\xA0\xFF\r", " 128 160 255"},
    };
    for (const auto& c : cases) EXPECT_EQ(AsciiCodesListing(c.text), c.listing) << c.listing;
}

}  // namespace
}  // namespace lexicarta

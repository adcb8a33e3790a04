#include <gtest/gtest.h>

#include "core/ascii_codes.h"
#include "core/viewer_appearance.h"

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
        {std::string_view("\x00\x80\xA0\xFF", 4), " 0 128 160 255"},
    };
    for (const auto& c : cases) EXPECT_EQ(AsciiCodesListing(c.text), c.listing) << c.listing;
}

TEST(ViewerAppearance, FontsAndSizesAreFoundByWhatTheTextAreaUses)
{
    EXPECT_EQ(ViewerFontIndex("MS Sans Serif", false), 0);
    EXPECT_EQ(ViewerFontIndex("Arial", true), 2);
    EXPECT_EQ(ViewerFontIndex("Times New Roman", false), 3);
    EXPECT_EQ(ViewerFontIndex("MS Sans Serif", true), std::nullopt);
    EXPECT_EQ(ViewerFontIndex("DejaVu Sans", false), std::nullopt);
    EXPECT_EQ(ViewerFontSizeIndex(12), 3);
    EXPECT_EQ(ViewerFontSizeIndex(11), std::nullopt);
    EXPECT_EQ(ViewerFontIndex(InitialViewerFontFamily, false), 1);
    EXPECT_EQ(ViewerFontSizeIndex(InitialViewerFontSize), 1);
    EXPECT_EQ(ViewerColours[CinderveilTextIndex].name, "Navy");
    EXPECT_EQ(ViewerColours[CinderveilBackgroundIndex].name, "Peach");
}

}  // namespace
}  // namespace lexicarta

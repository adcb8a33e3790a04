#include "core/viewer_appearance.h"

namespace lexicarta {

std::optional<int> ViewerFontIndex(std::string_view family, bool italic)
{
    for (std::size_t i = 0; i < ViewerFonts.size(); ++i)
        if (ViewerFonts[i].family == family && ViewerFonts[i].italic == italic) return static_cast<int>(i);
    return std::nullopt;
}

std::optional<int> ViewerFontSizeIndex(int points)
{
    for (std::size_t i = 0; i < ViewerFontSizes.size(); ++i)
        if (ViewerFontSizes[i] == points) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace lexicarta

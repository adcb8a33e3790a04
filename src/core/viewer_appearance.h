#pragma once
// The string viewer's choices of colour, font and size, by list position.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lexicarta {

struct ViewerColour {
    std::string_view name;  // the list item
    // The system's colour (window text or window background, by list), not an RGB value.
    bool systemColour;
    std::uint8_t red, green, blue;
};

// The 16 items of both colour lists, in list order.
inline constexpr std::array<ViewerColour, 16> ViewerColours{{
    {"Default", true, 0, 0, 0},
    {"Peach", false, 238, 200, 111},
    {"Black", false, 0, 0, 0},
    {"Maroon", false, 128, 0, 0},
    {"Green", false, 0, 128, 0},
    {"Olive", false, 128, 128, 0},
    {"Navy", false, 0, 0, 128},
    {"Purple", false, 128, 0, 128},
    {"Teal", false, 0, 128, 128},
    {"Grey", false, 128, 128, 128},
    {"Silver", false, 192, 192, 192},
    {"Red", false, 255, 0, 0},
    {"Yellow", false, 255, 255, 0},
    {"Blue", false, 0, 0, 255},
    {"Aqua", false, 0, 255, 255},
    {"White", false, 255, 255, 255},
}};

inline constexpr int DefaultColourIndex = 0;
// The "Cinderveil" scheme: navy text on peach.
inline constexpr int CinderveilTextIndex = 6;
inline constexpr int CinderveilBackgroundIndex = 1;

struct ViewerFont {
    std::string_view name;    // the list item
    std::string_view family;  // the font asked for
    bool italic;
};

inline constexpr std::array<ViewerFont, 5> ViewerFonts{{
    {"Default", "MS Sans Serif", false},
    {"Arial, Normal", "Arial", false},
    {"Arial, Italic", "Arial", true},
    {"Times New Roman, Normal", "Times New Roman", false},
    {"Times New Roman, Italic", "Times New Roman", true},
}};

inline constexpr std::array<int, 4> ViewerFontSizes{8, 9, 10, 12};

// The text area starts in Arial, normal, 9 points.
inline constexpr std::string_view InitialViewerFontFamily = "Arial";
inline constexpr int InitialViewerFontSize = 9;

// The list position of a font, none for a font the list does not offer.
std::optional<int> ViewerFontIndex(std::string_view family, bool italic);
// The list position of a size in points, none for another size.
std::optional<int> ViewerFontSizeIndex(int points);

}  // namespace lexicarta

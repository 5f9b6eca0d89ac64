// A font as the settings keep it: name, colour in the stored form, point size and style
// bits, and its conversion to what Qt draws with.
#pragma once

#include <QColor>
#include <QFont>
#include <string>

class QWidget;

namespace kasa::gui {

// Style bits of a stored font.
inline constexpr int kStyleBold = 1;
inline constexpr int kStyleItalic = 2;
inline constexpr int kStyleUnderline = 4;
inline constexpr int kStyleStrikeOut = 8;

struct FontSetting {
    std::string name;
    int colour = 0;  // blue in the high byte, red in the low byte
    int size = 0;    // points
    int style = 0;   // kStyle* bits

    bool operator==(const FontSetting&) const = default;
};

// The four fonts the user chooses; the buttons use a fifth, derived from the Info font.
struct FontSet {
    FontSetting info;
    FontSetting edit;
    FontSetting table;
    FontSetting wind;

    bool operator==(const FontSet&) const = default;
};

// The fonts a fresh installation starts with.
FontSet DefaultFonts();
// The button font: the Info font in black.
FontSetting ButtonFont(const FontSetting& info);

QColor ColourFromStored(int stored);
int StoredFromColour(const QColor& colour);
QFont ToQFont(const FontSetting& font);
// Takes name, size and style from `font`; the colour stays.
void TakeQFont(const QFont& font, FontSetting& into);

// The point size a grid's layout rule multiplies by; fonts sized in pixels count 3/4 of
// their pixels, as at the usual 96 dots per inch.
int PointSizeOf(const QFont& font);

// Gives `widget` the font and draws its text in the font's colour.
void ApplyFontSetting(QWidget& widget, const FontSetting& font);

}  // namespace kasa::gui

// The settings' fonts (name, colour in the stored form, point size and style bits) turned
// into what Qt draws with.
#pragma once

#include <QColor>
#include <QFont>
#include <string>

#include "app/settings.h"

class QWidget;

namespace kasa::gui {

// The fonts are the settings' own; the window only converts them.
using kasa::ButtonFont;
using kasa::DefaultFonts;
using kasa::FontSet;
using kasa::FontSetting;

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

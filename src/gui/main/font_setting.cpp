#include "gui/main/font_setting.h"

#include <QPalette>
#include <QWidget>
#include <cmath>

namespace kasa::gui {

QColor ColourFromStored(int stored) {
    const RgbColour rgb = RgbOfColour(stored);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

int StoredFromColour(const QColor& colour) {
    return ColourOfRgb({static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                        static_cast<uint8_t>(colour.blue())});
}

QFont ToQFont(const FontSetting& font) {
    QFont qfont(QString::fromStdString(font.name));
    if (font.size > 0) {
        qfont.setPointSize(font.size);
    }
    qfont.setBold((font.style & kFontBold) != 0);
    qfont.setItalic((font.style & kFontItalic) != 0);
    qfont.setUnderline((font.style & kFontUnderline) != 0);
    qfont.setStrikeOut((font.style & kFontStrikeOut) != 0);
    return qfont;
}

void TakeQFont(const QFont& font, FontSetting& into) {
    into.name = font.family().toStdString();
    into.size = PointSizeOf(font);
    into.style = (font.bold() ? kFontBold : 0) | (font.italic() ? kFontItalic : 0) |
                 (font.underline() ? kFontUnderline : 0) | (font.strikeOut() ? kFontStrikeOut : 0);
}

int PointSizeOf(const QFont& font) {
    if (font.pointSizeF() > 0) {
        return static_cast<int>(std::lround(font.pointSizeF()));
    }
    if (font.pixelSize() > 0) {
        return (font.pixelSize() * 3 + 2) / 4;
    }
    return 0;
}

void ApplyFontSetting(QWidget& widget, const FontSetting& font) {
    widget.setFont(ToQFont(font));
    QPalette palette = widget.palette();
    const QColor colour = ColourFromStored(font.colour);
    // The disabled look stays the style's own, so a disabled control still looks it.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, colour);
        palette.setColor(group, QPalette::Text, colour);
        palette.setColor(group, QPalette::ButtonText, colour);
    }
    widget.setPalette(palette);
}

}  // namespace kasa::gui

#include "gui/font_setting.h"

#include <QPalette>
#include <QWidget>
#include <cmath>

namespace kasa::gui {

FontSet DefaultFonts() {
    const int boldItalic = kStyleBold | kStyleItalic;
    FontSet fonts;
    fonts.info = {"Arial", 128, 11, boldItalic};
    fonts.edit = {"Arial", 32768, 12, boldItalic};
    fonts.wind = {"Courier New", 255, 12, boldItalic};
    fonts.table = {"Arial", 10485760, 12, boldItalic};
    return fonts;
}

FontSetting ButtonFont(const FontSetting& info) {
    FontSetting button = info;
    button.colour = 0;
    return button;
}

QColor ColourFromStored(int stored) {
    const auto value = static_cast<unsigned>(stored);
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

int StoredFromColour(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

QFont ToQFont(const FontSetting& font) {
    QFont qfont(QString::fromStdString(font.name));
    if (font.size > 0) {
        qfont.setPointSize(font.size);
    }
    qfont.setBold((font.style & kStyleBold) != 0);
    qfont.setItalic((font.style & kStyleItalic) != 0);
    qfont.setUnderline((font.style & kStyleUnderline) != 0);
    qfont.setStrikeOut((font.style & kStyleStrikeOut) != 0);
    return qfont;
}

void TakeQFont(const QFont& font, FontSetting& into) {
    into.name = font.family().toStdString();
    into.size = PointSizeOf(font);
    into.style = (font.bold() ? kStyleBold : 0) | (font.italic() ? kStyleItalic : 0) |
                 (font.underline() ? kStyleUnderline : 0) |
                 (font.strikeOut() ? kStyleStrikeOut : 0);
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

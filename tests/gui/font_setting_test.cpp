// Stored fonts and colours against what Qt draws with.
#include <QLabel>
#include <QtTest>

#include "gui/main/font_setting.h"

using namespace kasa::gui;

class FontSettingTest : public QObject {
    Q_OBJECT

  private slots:
    void styleBitsSurviveTheWayThroughQt() {
        for (int style = 0; style < 16; ++style) {
            const FontSetting stored{"Arial", 0, 13, style};
            const QFont font = ToQFont(stored);
            QCOMPARE(font.bold(), (style & 1) != 0);
            QCOMPARE(font.italic(), (style & 2) != 0);
            QCOMPARE(font.underline(), (style & 4) != 0);
            QCOMPARE(font.strikeOut(), (style & 8) != 0);
            FontSetting back{"", 77, 0, 0};
            TakeQFont(font, back);
            QCOMPARE(back.style, style);
            QCOMPARE(back.size, 13);
            QCOMPARE(back.colour, 77);  // the colour is not the font's business
            QCOMPARE(back.name, std::string("Arial"));
        }
    }

    void pixelFontsCountThreeQuartersOfTheirPixels() {
        QFont points;
        points.setPointSize(12);
        QCOMPARE(PointSizeOf(points), 12);
        QFont pixels;
        pixels.setPixelSize(16);
        QCOMPARE(PointSizeOf(pixels), 12);
    }

    void appliedColourLeavesTheDisabledLookAlone() {
        QLabel label;
        const QColor disabledBefore =
            label.palette().color(QPalette::Disabled, QPalette::WindowText);
        ApplyFontSetting(label, FontSetting{"Arial", 128, 11, 1});
        QCOMPARE(label.palette().color(QPalette::Active, QPalette::WindowText), QColor(128, 0, 0));
        QCOMPARE(label.palette().color(QPalette::Disabled, QPalette::WindowText), disabledBefore);
        QVERIFY(label.font().bold());
        QCOMPARE(label.font().pointSize(), 11);
    }
};

QTEST_MAIN(FontSettingTest)
#include "font_setting_test.moc"

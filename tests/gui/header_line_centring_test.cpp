// A header line is shown centred in the register's line width, as the register prints it.
#include <QtTest>
#include <string>

#include "gui/header_line_centring.h"
#include "tables/catalogue.h"

class HeaderLineCentringTest : public QObject {
    Q_OBJECT

  private slots:
    void headerCentringFollowsTheRegisterType() {
        struct Case {
            const kasa::RegisterModel& model;
            QString text;
            const char* flags;  // "C" centring, "D" heavy characters
            QString shown;
        };
        const QString longLine = QStringLiteral("  ") + QString(99, 'x');
        // "Vesper": 40 characters, 20 with heavy characters; trailing spaces stay. Other
        // types: 20 characters, heavy or not; spaces trimmed on both sides, and texts above
        // 100 characters left alone.
        const Case cases[] = {
            {kasa::VesperModel(), "  abc  ", "", "abc  "},
            {kasa::VesperModel(), "  abc", "C", QString(18, ' ') + "abc"},
            {kasa::VesperModel(), "Łódź", "CD", QString(8, ' ') + "Łódź"},
            {kasa::VesperModel(), "   ", "C", ""},
            {kasa::VesperModel(), QString(41, 'y'), "C", QString(41, 'y')},
            {kasa::VesperModel(), longLine, "", QString(99, 'x')},
            {kasa::ZenModel(), "  abc  ", "", "abc"},
            {kasa::ZenModel(), "  abc  ", "CD", QString(8, ' ') + "abc"},
            {kasa::ZenModel(), "Żółw", "C", QString(8, ' ') + "Żółw"},
            {kasa::ZenModel(), " " + QString(99, 'x'), "C", QString(99, 'x')},
            {kasa::ZenModel(), longLine, "C", longLine},
        };
        for (const Case& c : cases) {
            kasa::HeaderLine line;
            line.text = c.text.toStdString();
            line.centre = std::string(c.flags).find('C') != std::string::npos;
            line.bold = std::string(c.flags).find('D') != std::string::npos;
            QCOMPARE(QString::fromStdString(kasa::gui::CentredHeaderText(c.model, line)), c.shown);
        }
    }
};

QTEST_MAIN(HeaderLineCentringTest)
#include "header_line_centring_test.moc"

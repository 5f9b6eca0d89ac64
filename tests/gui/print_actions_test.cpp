// The print windows over the whole program: the parameters and the goods choices reach
// the settings file when their windows close, and every table saves as PDF.
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

#include "gui/print/print_actions.h"
#include "gui/print/print_forms.h"
#include "program_harness.h"

using kasa::testing::Program;

namespace {

void Click(QWidget* window, const char* name) {
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    QVERIFY2(button != nullptr, name);
    button->click();
}

}  // namespace

class PrintActionsTest : public QObject {
    Q_OBJECT
  private slots:
    void ParametersKeepTheTypedDecimalAndAreWrittenOnClose() {
        Program program;
        program.form->MenuAction(QStringLiteral("&Drukowania"))->trigger();
        auto* window = program.form->findChild<kasa::gui::TParamDrukuj*>();
        QVERIFY(window != nullptr && window->isVisible());
        QCOMPARE(window->Edit(kasa::PrintParameter::kBarcodeHeight)->text(), QStringLiteral("5.1"));
        QLineEdit* height = window->Edit(kasa::PrintParameter::kBarcodeHeight);
        height->clear();
        QTest::keyClicks(height, QStringLiteral("10,5"));
        QLineEdit* rows = window->Edit(kasa::PrintParameter::kRowSpacing);
        rows->clear();
        QTest::keyClicks(rows, QStringLiteral("0"));
        Click(window, "Wyjscie");
        const kasa::PrintLayout saved =
            kasa::ReadSettingsFile(program.folder.Path("config.cfg")).print;
        QCOMPARE(saved.KodKreskowy, 0.413);  // 10.5 mm, written with three decimals
        QCOMPARE(saved.Wiersza, 0.005);
        QCOMPARE(saved.Lewy, 0.5);
    }

    void GoodsChoicesAreWrittenWhenTheirWindowCloses() {
        Program program;
        Click(program.form.get(), "PLU_drukuj");
        auto* window = program.form->findChild<kasa::gui::TPLU_wydrukForm*>();
        QVERIFY(window != nullptr && window->isVisible());
        Click(window, "PLU_flag2");   // the number as EAN-13
        Click(window, "PLU_flag14");  // the price
        Click(window, "Wyjscie");
        const kasa::PrintLayout saved =
            kasa::ReadSettingsFile(program.folder.Path("config.cfg")).print;
        QVERIFY(saved.pluFlags[2] && !saved.pluFlags[0] && saved.pluFlags[14]);
    }

    void EveryTableSavesAsPdf() {
        Program program;
        auto* actions = program.form->findChild<kasa::gui::PrintActions*>();
        QVERIFY(actions != nullptr);
        std::string path = program.folder.Path("opakowania.pdf");
        actions->SetPdfPathChooser([&path] { return path; });
        Click(program.form.get(), "Opakowania_drukuj");
        kasa::gui::PrintChoiceForm* window = actions->TableWindow();
        QVERIFY(window->isVisible());
        Click(window, "ZapiszPDF");
        QCOMPARE(program.shown.size(), size_t{1});
        QCOMPARE(program.shown[0].text, std::string("Brak informacji do wydrukowania"));
        QVERIFY(!program.folder.Exists("opakowania.pdf"));

        program.form->Grid("Opakowania")->SetCell(1, 1, "Skrzynka ŻÓŁTA");
        Click(window, "ZapiszPDF");
        QCOMPARE(program.shown.size(), size_t{1});
        QCOMPARE(program.folder.Read("opakowania.pdf").substr(0, 5), std::string("%PDF-"));
    }

    void PreviewFitsTheScreenWithItsFrame() {
        const QMargins frame(5, 25, 5, 5);
        // 1024 x 700: 670 px of height are left for the page beside the title bar, and the
        // 910 px wide window stands 57 px from each side.
        QCOMPARE(kasa::gui::PreviewGeometry(QRect(0, 0, 1024, 700), frame),
                 QRect(62, 25, 900, 670));
        // A panel on top: the window starts below it.
        QCOMPARE(kasa::gui::PreviewGeometry(QRect(0, 30, 1024, 670), frame),
                 QRect(62, 55, 900, 640));
        // A large screen gives the size asked for, centred: (1920 - 910) / 2 and
        // (1200 - 1030) / 2.
        QCOMPARE(kasa::gui::PreviewGeometry(QRect(0, 0, 1920, 1200), frame),
                 QRect(510, 110, 900, 1000));
        // A narrow screen narrows it.
        QCOMPARE(kasa::gui::PreviewGeometry(QRect(100, 0, 640, 480), frame),
                 QRect(105, 25, 630, 450));
    }

    void PreviewOpensWithinTheAvailableScreen() {
        Program program;
        program.form->Grid("Opakowania")->SetCell(1, 1, "Skrzynka");
        auto* actions = program.form->findChild<kasa::gui::PrintActions*>();
        QVERIFY(actions != nullptr);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QRect shown;
        bool seen = false;
        QTimer::singleShot(50, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog != nullptr) {
                seen = true;
                shown = dialog->frameGeometry();
                dialog->reject();
            }
        });
        actions->Preview(kasa::TableKind::kPackaging);
        QVERIFY(seen);
        QVERIFY2(available.contains(shown), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                           .arg(shown.x())
                                                           .arg(shown.y())
                                                           .arg(shown.width())
                                                           .arg(shown.height())));
    }
};

QTEST_MAIN(PrintActionsTest)
#include "print_actions_test.moc"

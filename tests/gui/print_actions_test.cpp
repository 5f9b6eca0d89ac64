// The print windows over the whole program: the parameters and the goods choices reach
// the settings file when their windows close, and every table saves as PDF.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "gui/print_actions.h"
#include "gui/print_forms.h"
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
};

QTEST_MAIN(PrintActionsTest)
#include "print_actions_test.moc"

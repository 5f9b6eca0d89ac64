// The document verification window against the built-in VESPER register: opened from the
// menu, examples of every type verified, a changed digit denied, both modes.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

#include "gui/checked_items.h"
#include "gui/register/document_control_form.h"
#include "program_harness.h"

using kasa::gui::TDocumentControl_Form;
using kasa::testing::Program;
using kasa::testing::gui::CellText;

class DocumentControlFormTest : public QObject {
    Q_OBJECT
  private:
    static TDocumentControl_Form* Open(Program& p) {
        p.controller->Show();
        p.form->MenuAction(QStringLiteral("We&ryfikacja dokumentu"))->trigger();
        auto* window = p.form->findChild<TDocumentControl_Form*>();
        return window != nullptr && window->isVisible() ? window : nullptr;
    }
    static std::string LastShown(const Program& p) {
        return p.shown.empty() ? std::string() : p.shown.back().text;
    }

  private slots:
    void normalModeVerifiesTheVesperExamples() {
        Program p(true);
        TDocumentControl_Form* window = Open(p);
        QVERIFY(window != nullptr);
        QCOMPARE(window->Mode(), kasa::VerifyMode::Normal);
        QCOMPARE(window->Type(), int(kasa::kReceipt));
        QVERIFY(!window->findChild<QRadioButton*>(QStringLiteral("RFaktura"))->isVisibleTo(window));
        auto* check = window->findChild<QPushButton*>(QStringLiteral("BWykonaj"));
        auto* example = window->findChild<QPushButton*>(QStringLiteral("Przyklad"));
        auto* control = window->findChild<QLineEdit*>(QStringLiteral("ENumerKontrolny"));
        // The receipts of the VESPER device, then the fields are cleared.
        for (const int index : {0, 1, 2}) {
            example->click();
            QCOMPARE(window->ExampleIndex(), index);
            QVERIFY(window->Picture()->isVisible());
            QVERIFY(window->width() >= window->Picture()->geometry().right() + 50);
            check->click();
            QCOMPARE(LastShown(p), std::string("Wpisany dokument wydrukowano w urządzeniu\n"
                                               "produkowanym w KORVEX."));
        }
        // One changed character of the control number: not printed by this maker.
        QString changed = control->text();
        changed[5] = changed[5] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
        control->setText(changed);
        check->click();
        QCOMPARE(LastShown(p), std::string("Wpisany dokument nie wydrukowano w urządzeniu\n"
                                           "produkowanym w KORVEX."));
        // An invalid document is refused before anything is sent.
        const size_t sent = p.controller->BuiltInRegister()->ReceivedPayloads().size();
        control->setText(changed + QStringLiteral("X"));
        check->click();
        QCOMPARE(LastShown(p), std::string("Numer kontrolny musi mieć dokładnie 40 znaków."));
        QCOMPARE(p.controller->BuiltInRegister()->ReceivedPayloads().size(), sent);
        QVERIFY(!p.controller->Ecr().IsOpen());
        example->click();
        QCOMPARE(window->ExampleIndex(), -1);
        QVERIFY(control->text().isEmpty());
        window->close();
        QCOMPARE(window->Mode(), kasa::VerifyMode::None);
    }

    void specialModeVerifiesEveryType() {
        Program p(true);
        TDocumentControl_Form* window = Open(p);
        QVERIFY(window != nullptr);
        QTest::mouseDClick(window->findChild<QGroupBox*>(QStringLiteral("TypDokumentu")),
                           Qt::LeftButton);
        QCOMPARE(window->Mode(), kasa::VerifyMode::Special);
        const char* const buttons[] = {"RParagon", "RFaktura", "RRaport", "RRaportFaktury"};
        for (int type = 1; type <= 4; ++type) {
            auto* radio = window->findChild<QRadioButton*>(QString::fromLatin1(buttons[type - 1]));
            QVERIFY(radio->isVisible());
            radio->click();
            QCOMPARE(window->Type(), type);
            window->findChild<QPushButton*>(QStringLiteral("Przyklad"))->click();
            QVERIFY(window->ExampleIndex() >= 0);
            const bool report = type >= 3;
            QCOMPARE(window->findChild<QLineEdit*>(QStringLiteral("ENumerRaportu"))->isVisible(),
                     report);
            QCOMPARE(window->findChild<QTableWidget*>(QStringLiteral("TTabela"))->rowCount(),
                     type == 3   ? 9
                     : type == 4 ? 17
                                 : int(window->Grid().cells.size()));
            p.shown.clear();
            window->findChild<QPushButton*>(QStringLiteral("BWykonaj"))->click();
            QCOMPARE(LastShown(p), std::string("Wpisany dokument wydrukowano w urządzeniu\n"
                                               "produkowanym w KORVEX."));
        }
    }

    void gridKeysFollowTheGridRules() {
        Program p(true);
        TDocumentControl_Form* window = Open(p);
        QVERIFY(window != nullptr);
        auto* table = window->findChild<QTableWidget*>(QStringLiteral("TTabela"));
        table->setFocus();
        QTest::keyClicks(table, QStringLiteral("Sok"));
        QTest::keyClick(table, Qt::Key_Return);
        QTest::keyClicks(table, QStringLiteral("B"));
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(CellText(table, 1, 0), QStringLiteral("Sok"));
        QCOMPARE(CellText(table, 1, 1), QStringLiteral("B"));
        QCOMPARE(table->currentRow(), 2);
    }
};

QTEST_MAIN(DocumentControlFormTest)
#include "document_control_form_test.moc"

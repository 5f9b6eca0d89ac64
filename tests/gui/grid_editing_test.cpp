// Editing the main window's tables: keys typed into a grid view, the filters' balloon
// hint, and the edit panel below each grid.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <tuple>
#include <vector>

#include "app/settings.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/edit_panel.h"
#include "gui/tables/grid_key_handler.h"
#include "gui/tables/grid_model.h"

using kasa::Answer;
using kasa::Buttons;
using kasa::TableKind;
using kasa::gui::RecordCommand;
using kasa::gui::TECRForm;

namespace {

struct Shown {
    std::string title;
    std::string text;
};

// Messages go to `shown` instead of a dialog.
void RecordMessages(TECRForm& form, std::vector<Shown>& shown) {
    form.Ui().SetAnswerProvider(
        [&shown](const std::string& title, const std::string& text, Buttons) {
            shown.push_back({title, text});
            return Answer::Ok;
        });
}

void GoTo(QTableView& view, int col, int row) {
    auto* model = static_cast<kasa::gui::GridModel*>(view.model());
    view.setCurrentIndex(model->IndexOfCell(col, row));
}

}  // namespace

class GridEditingTest : public QObject {
    Q_OBJECT

  private slots:
    void typingIntoTheGridChangesTheCoreGrid() {
        TECRForm form;
        QTableView* view = form.GridView("PLU");
        kasa::TextGrid& grid = *form.Grid("PLU");
        QVERIFY(view->editTriggers() == QAbstractItemView::NoEditTriggers);
        grid.SetCell(1, 2, "Chleb");
        GoTo(*view, 1, 2);

        const QString name =
            QStringLiteral("Mleko UHT 3,2%1L");  // 16 characters, wider than "Nazwa"
        QTest::keyClicks(view, name);
        QCOMPARE(grid.Cell(1, 2), name.toStdString());
        QCOMPARE(view->model()->data(view->currentIndex()).toString(), name);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(view->currentIndex(), view->model()->index(1, 1));
        const QFontMetrics metrics(view->font());
        QVERIFY(view->columnWidth(0) >= metrics.horizontalAdvance(name));

        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(grid.Cell(1, 2), std::string("Chleb"));
        QCOMPARE(view->model()->data(view->model()->index(1, 0)).toString(),
                 QStringLiteral("Chleb"));
        // The cursor keys still move through the grid.
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->currentIndex(), view->model()->index(2, 1));
    }

    void ctrlVTakesTheNewestCopyTheGridsOwnOrASpreadsheets() {
        TECRForm form;
        std::vector<Shown> shown;
        RecordMessages(form, shown);
        QTableView* view = form.GridView("PLU");
        kasa::TextGrid& grid = *form.Grid("PLU");
        grid.SetCell(1, 1, "Chleb");
        GoTo(*view, 1, 1);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        GoTo(*view, 1, 3);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid.Cell(1, 3), std::string("Chleb"));

        QGuiApplication::clipboard()->setText(QStringLiteral("Mąka\t590\nSól\t591\n"));
        GoTo(*view, 1, 4);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid.Cell(1, 5), std::string("Sól"));
        QCOMPARE(grid.Cell(2, 5), std::string("591"));
        QCOMPARE(view->model()->data(view->model()->index(4, 0)).toString(), QStringLiteral("Sól"));
        QVERIFY(shown.empty());
        // The grid's own copy is newer again.
        GoTo(*view, 1, 4);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        GoTo(*view, 1, 6);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid.Cell(1, 6), std::string("Mąka"));
        QCOMPARE(grid.Cell(2, 6), std::string());
    }

    void refusedKeyShowsTheHintOnlyWhenTheSwitchAllows() {
        TECRForm form;
        QTableView* view = form.GridView("PLU");
        kasa::gui::BalloonHint& hint = form.GridKeys().Hint();
        const int vat = form.Model().Table(TableKind::kGoods).ColumnOfKey("PTU");
        GoTo(*view, vat, 1);

        QTest::keyClick(view, Qt::Key_H);
        QVERIFY(hint.isVisible());
        QCOMPARE(hint.Title(), QStringLiteral("Niedopuszczalny znak"));
        QCOMPARE(hint.Text(),
                 QStringLiteral("Tutaj można wpisać tylko literę \nA, B, C, D, E, F lub G."));
        // A click anywhere else ends it.
        QTest::mouseClick(form.ControlAs<QPushButton>(QStringLiteral("Weryfikacja")),
                          Qt::LeftButton);
        QVERIFY(!hint.isVisible());
        QTest::keyClick(view, Qt::Key_H);
        QVERIFY(hint.isVisible());
        QTest::keyClick(view, Qt::Key_C);
        QVERIFY(!hint.isVisible());
        QCOMPARE(form.Grid("PLU")->Cell(vat, 1), std::string("C"));

        // An edit field refuses through the same hint.
        auto* code = form.ControlAs<QLineEdit>(QStringLiteral("PLU_ekod"));
        code->setText(QStringLiteral("5901234123457"));
        QTest::keyClick(code, Qt::Key_1);
        QVERIFY(hint.isVisible());
        QCOMPARE(hint.Text(), QStringLiteral("Maksymalna długość kodu to 13 cyfr."));
        QCOMPARE(code->text(), QStringLiteral("5901234123457"));

        kasa::ProgramSettingsValues values;
        values.balonHint = true;
        form.ApplyDisplaySwitches(values);
        QVERIFY(!hint.isVisible());
        QTest::keyClick(view, Qt::Key_H);
        QVERIFY(!hint.isVisible());
        QCOMPARE(form.Grid("PLU")->Cell(vat, 1), std::string("C"));
    }

    void panelLoadsAClickedRowAndANumberWithEnter() {
        TECRForm form;
        kasa::TextGrid& goods = *form.Grid("PLU");
        const kasa::TableDescriptor& table = form.Model().Table(TableKind::kGoods);
        goods.SetCell(1, 3, "Żurek");
        goods.SetCell(table.ColumnOfKey("PTU"), 3, "B");
        goods.SetCell(table.ColumnOfKey("CEN"), 3, "4.50");
        QTableView* view = form.GridView("PLU");
        emit view->clicked(view->model()->index(2, 0));
        QCOMPARE(form.ControlAs<QLineEdit>("PLU_eNumer")->text(), QStringLiteral("3"));
        QCOMPARE(form.ControlAs<QLineEdit>("PLU_eNazwa")->text(), QStringLiteral("Żurek"));
        QCOMPARE(form.ControlAs<QLineEdit>("PLU_ecena")->text(), QStringLiteral("4.50"));
        QCOMPARE(form.ControlAs<QComboBox>("PLU_bvat")->currentText(), QStringLiteral("B"));

        // An empty row leaves the VAT list without a choice.
        auto* number = form.ControlAs<QLineEdit>("PLU_eNumer");
        number->clear();
        QTest::keyClicks(number, QStringLiteral("4"));
        QTest::keyClick(number, Qt::Key_Return);
        QCOMPARE(form.ControlAs<QLineEdit>("PLU_eNazwa")->text(), QString());
        QCOMPARE(form.ControlAs<QComboBox>("PLU_bvat")->currentIndex(), -1);
        QCOMPARE(view->currentIndex().row(), 3);

        form.Grid("Klawisze")->SetCell(3, 2, "TAK");
        emit form.GridView("Klawisze")
            ->doubleClicked(form.GridView("Klawisze")->model()->index(1, 0));
        QVERIFY(form.ControlAs<QCheckBox>("Klawisze_ckoniec")->isChecked());
    }

    // The panel follows the row it shows: a sort or a load (the whole grid anew) and an
    // undo (cells told changed) load it again, so "Zapisz w Kasie" never writes the old
    // record's values over the one that now stands in its row.
    void panelFollowsTheGridWhenItsRowChanges() {
        TECRForm form;
        kasa::TextGrid& goods = *form.Grid("PLU");
        goods.SetCell(1, 3, "Żurek");
        goods.SetCell(1, 4, "Barszcz");
        QTableView* view = form.GridView("PLU");
        auto* model = static_cast<kasa::gui::GridModel*>(view->model());
        emit view->clicked(view->model()->index(2, 0));
        auto* name = form.ControlAs<QLineEdit>("PLU_eNazwa");
        QCOMPARE(name->text(), QStringLiteral("Żurek"));

        model->ChangeWholeGrid([](kasa::TextGrid& grid) {
            grid.SetCell(1, 3, "Barszcz");
            grid.SetCell(1, 4, "Żurek");
        });
        QCOMPARE(name->text(), QStringLiteral("Barszcz"));
        QCOMPARE(form.ControlAs<QLineEdit>("PLU_eNumer")->text(), QStringLiteral("3"));

        goods.SetCell(1, 3, "Kisiel");
        model->CellsChanged(1, 3, 1, 3);
        QCOMPARE(name->text(), QStringLiteral("Kisiel"));

        // A change of another row leaves what the user typed into the panel.
        name->setText(QStringLiteral("Kisiel wiśniowy"));
        goods.SetCell(1, 5, "Woda");
        model->CellsChanged(1, 5, 1, 5);
        QCOMPARE(name->text(), QStringLiteral("Kisiel wiśniowy"));
    }

    void addWritesTheRowAndRefusesWhatCannotBeWritten() {
        TECRForm form;
        std::vector<Shown> shown;
        RecordMessages(form, shown);
        auto* add = form.ControlAs<QPushButton>("Opakowania_pozycja_dodaj");
        QVERIFY(add->isEnabled());
        form.ControlAs<QLineEdit>("Opakowania_eNumer")->setText(QStringLiteral("7"));
        form.ControlAs<QLineEdit>("Opakowania_eNazwa")->setText(QStringLiteral("Skrzynka"));
        form.ControlAs<QLineEdit>("Opakowania_eCena")->setText(QStringLiteral("0.50"));
        add->click();
        QCOMPARE(form.Grid("Opakowania")->Cell(1, 7), std::string("Skrzynka"));
        QCOMPARE(form.Grid("Opakowania")->Cell(2, 7), std::string("0.50"));
        QCOMPARE(form.GridView("Opakowania")
                     ->model()
                     ->data(form.GridView("Opakowania")->model()->index(6, 0))
                     .toString(),
                 QStringLiteral("Skrzynka"));
        QVERIFY(shown.empty());

        form.ControlAs<QLineEdit>("Opakowania_eNumer")->setText(QStringLiteral("16"));
        add->click();
        form.ControlAs<QLineEdit>("Opakowania_eNumer")->setText(QStringLiteral("8"));
        form.ControlAs<QLineEdit>("Opakowania_eNazwa")->clear();
        add->click();
        QCOMPARE(shown.size(), size_t{2});
        QCOMPARE(shown[0].title, std::string("Program serwisowy kas"));
        QCOMPARE(shown[0].text, std::string("Wiersz 16 poza zakresem."));
        QCOMPARE(shown[1].text,
                 std::string("Zapis pozycji bez podania nazwy opakowania jest niemożliwy.\n"));
        QCOMPARE(form.Grid("Opakowania")->Cell(2, 8), std::string());

        // Removing empties the row and keeps its number.
        form.ControlAs<QLineEdit>("Opakowania_eNumer")->setText(QStringLiteral("7"));
        form.ControlAs<QPushButton>("Opakowania_pozycja_kasuj")->click();
        QCOMPARE(form.Grid("Opakowania")->Cell(1, 7), std::string());
        QCOMPARE(form.Grid("Opakowania")->Cell(0, 7), std::string("7"));
    }

    void registerButtonsReachTheHandlerAfterTheirTableStep() {
        TECRForm form;
        auto* modify = form.ControlAs<QPushButton>("Doplata_pozycja_modyfikuj");
        QVERIFY(!modify->isEnabled());
        std::vector<std::tuple<RecordCommand, TableKind, int, std::string>> calls;
        form.SetRecordCommandHandler([&](RecordCommand command, TableKind kind, int row) {
            calls.emplace_back(command, kind, row, form.Grid("Doplata")->Cell(1, row));
        });
        QVERIFY(modify->isEnabled());
        form.ControlAs<QLineEdit>("Doplata_eNumer")->setText(QStringLiteral("6"));
        form.ControlAs<QLineEdit>("Doplata_eNazwa")->setText(QStringLiteral("Dowóz"));
        modify->click();
        form.ControlAs<QPushButton>("Doplata_pozycja_odczyt")->click();
        QCOMPARE(calls.size(), size_t{2});
        QVERIFY(calls[0] == std::make_tuple(RecordCommand::kModify, TableKind::kSurcharges, 2,
                                            std::string("Dowóz")));
        QVERIFY(std::get<0>(calls[1]) == RecordCommand::kRead);
    }
};

QTEST_MAIN(GridEditingTest)
#include "grid_editing_test.moc"

// The main window as a user meets it: a page per table of each register type, what a
// type change clears, the tool windows, the way from a grid edit to the core grid, fonts,
// display switches and hints.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolTip>
#include <QtTest>

#include "gui/dialogs/opis_bledow_form.h"
#include "gui/dialogs/ustawienie_kasy_form.h"
#include "gui/dialogs/ustawienie_programu_form.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/grid_model.h"
#include "tables/catalogue.h"

using kasa::Answer;
using kasa::Buttons;
using kasa::gui::TECRForm;

namespace {

void SelectType(const char* name) {
    std::string stored = name;
    kasa::ActiveModelSelection().Select(stored);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { SelectType("Vesper"); }

    // Every page of both types shows its tables' grids and fits the smallest window the
    // layout is made for: no scroll bar, every label and button whole and in sight, and each
    // grid shows seven rows or all of them.
    void everyPageShowsItsGridAndFitsTheSmallestWindow() {
        for (const kasa::RegisterModel* type : kasa::AllModels()) {
            SelectType(std::string(type->name).c_str());
            TECRForm form;
            form.RebuildTables(5000);  // minPLU is kept within 1..1000
            for (const kasa::TableDescriptor* table : type->tables) {
                if (table->FieldCount() == 0) {
                    continue;
                }
                const std::string name(table->tableName);
                kasa::TextGrid* grid = form.Grid(name);
                QTableView* view = form.ControlAs<QTableView>(QString::fromStdString(name + "_T"));
                QVERIFY2(grid != nullptr && view != nullptr, name.c_str());
                QAbstractItemModel* model = view->model();
                QCOMPARE(model->rowCount(), grid->RowCount() - 1);
                QCOMPARE(model->columnCount(), table->FieldCount() - 1);
            }
            QCOMPARE(form.GridView("PLU")->model()->headerData(0, Qt::Vertical).toString(),
                     QStringLiteral("1000"));

            form.RebuildTables(1);
            form.resize(1024, 700);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QCOMPARE(form.size(), QSize(1024, 700));
            for (int i = 0; i < form.Tabs()->count(); ++i) {
                form.Tabs()->setCurrentIndex(i);
                QApplication::processEvents();
                auto* page = qobject_cast<QScrollArea*>(form.Tabs()->widget(i));
                const QByteArray where = QByteArray(type->name.data(), type->name.size()) + ' ' +
                                         form.Tabs()->tabText(i).toUtf8();
                QVERIFY2(page->horizontalScrollBar()->maximum() == 0 &&
                             page->verticalScrollBar()->maximum() == 0,
                         where.constData());
                for (QWidget* shown : page->widget()->findChildren<QWidget*>()) {
                    if (!shown->isVisible() || (qobject_cast<QLabel*>(shown) == nullptr &&
                                                qobject_cast<QAbstractButton*>(shown) == nullptr)) {
                        continue;
                    }
                    const QRect at(shown->mapTo(page->viewport(), QPoint(0, 0)), shown->size());
                    QVERIFY2(page->viewport()->rect().contains(at) &&
                                 shown->width() >= shown->minimumSizeHint().width(),
                             (where + ' ' + shown->objectName().toUtf8()).constData());
                }
                for (QTableView* view : page->findChildren<QTableView*>()) {
                    const int rows = std::min(view->model()->rowCount(), 7);
                    QVERIFY2(!view->isVisible() ||
                                 view->viewport()->height() >= rows * view->rowHeight(0),
                             where.constData());
                }
            }
        }
    }

    void newFontsKeepTheCommunicationCaptionColour() {
        TECRForm form;
        form.SetCommunicationStarted(true);
        form.ApplyFonts(kasa::gui::DefaultFonts());
        QCOMPARE(
            form.CommunicationButton()->palette().color(QPalette::Active, QPalette::ButtonText),
            QColor(255, 0, 0));
    }

    void changingTheTypeRebuildsAndClears() {
        TECRForm form;
        form.Grid("PLU")->SetCell(1, 1, "Chleb");
        form.ControlAs<QLineEdit>("Line1")->setText(QStringLiteral("SKLEP"));
        form.ControlAs<QCheckBox>("CLine1")->setChecked(true);
        form.ControlAs<QLineEdit>("E_VatA")->setText(QStringLiteral("23"));
        form.Tabs()->setCurrentWidget(form.Control("Kasjer_strona"));

        // The settings window's confirmed choice reaches the tables.
        auto* settings = form.ProgramSettingsWindow();
        kasa::gui::ProgramSettingsValues values;
        values.registerType = "Vesper";
        settings->SetValues(values);
        form.Ui().SetAnswerProvider(
            [](const std::string&, const std::string&, Buttons) { return Answer::Ok; });
        emit settings->TypeList()->activated(0);  // "Zen"

        QCOMPARE(std::string(form.Model().name), std::string("Zen"));
        QCOMPARE(form.Grid("PLU")->ColCount(), 7);
        QCOMPARE(form.Grid("PLU")->Cell(1, 1), std::string());
        QCOMPARE(form.ControlAs<QLineEdit>("Line1")->text(), QString());
        QVERIFY(!form.ControlAs<QCheckBox>("CLine1")->isChecked());
        QCOMPARE(form.ControlAs<QLineEdit>("E_VatA")->text(), QString());
        QCOMPARE(form.HeaderLineCount(), 8);
        // The page in front stays in front.
        QCOMPARE(form.Tabs()->currentWidget()->objectName(), QStringLiteral("Kasjer_strona"));
        // Nothing old is left behind under a name.
        QCOMPARE(form.findChildren<QTableView*>(QStringLiteral("PLU_T")).size(), 1);
    }

    void toolWindowsOpenOnceEach() {
        TECRForm form;
        const std::pair<const char*, QWidget*> windows[] = {
            {"&Kody błędów", form.ErrorCodesWindow()},
            {"&Kasy", form.RegisterSettingsWindow()},
            {"&Programu", form.ProgramSettingsWindow()},
        };
        for (const auto& [caption, window] : windows) {
            QVERIFY(!window->isVisible());
            form.MenuAction(QString::fromUtf8(caption))->trigger();
            QVERIFY(window->isVisible());
            form.MenuAction(QString::fromUtf8(caption))->trigger();
            QVERIFY(window->isVisible());
        }
        // The settings window stands centred at the size its fonts give it.
        QApplication::processEvents();
        const QPoint offCentre = form.ProgramSettingsWindow()->frameGeometry().center() -
                                 QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, QTest::toString(offCentre));
    }

    void tableFontSetsTheLayout() {
        TECRForm form;
        kasa::gui::FontSet fonts = kasa::gui::DefaultFonts();
        fonts.table.size = 9;
        form.ApplyFonts(fonts);
        // Discounts and surcharges follow the table font too.
        for (const char* table : {"Kasjer", "Doplata"}) {
            QTableView* view = form.GridView(table);
            QCOMPARE(view->font().pointSize(), 9);
            const QFontMetrics metrics(view->font());
            QVERIFY(view->rowHeight(0) >= metrics.height());
            QVERIFY(view->rowHeight(0) < 2 * metrics.height());
        }
    }

    void displaySwitchesHidePanels() {
        TECRForm form;
        kasa::gui::ProgramSettingsValues values;
        values.edit = true;
        form.ApplyDisplaySwitches(values);
        QVERIFY(form.Control("PLU_edycja")->isHidden());
        QVERIFY(form.Control("Doplata_edycja")->isHidden());
        QVERIFY(!form.Control("PLU_button")->isHidden());
        values.edit = false;
        values.function = true;
        form.ApplyDisplaySwitches(values);
        QVERIFY(!form.Control("PLU_edycja")->isHidden());
        QVERIFY(form.Control("PLU_button")->isHidden());
        QVERIFY(form.Control("Naglowek_button")->isHidden());
        // A rebuilt page keeps the switches.
        form.RebuildTables(1);
        QVERIFY(form.Control("Formy_button")->isHidden());
    }

    void hintsCanBeSwitchedOff() {
        TECRForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.ApplyHints(true, 100, 5000);
        QPushButton* button = form.ControlAs<QPushButton>("PLU_pozycja_modyfikuj");
        QCOMPARE(button->toolTipDuration(), 5000);

        QLineEdit* line = form.ControlAs<QLineEdit>("E_VatA");
        line->setToolTip(QStringLiteral("Stawka A"));
        form.ShowInformationPage();
        QHelpEvent shown(QEvent::ToolTip, QPoint(2, 2), line->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(line, &shown);
        QTRY_VERIFY(QToolTip::isVisible());
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());

        kasa::gui::ProgramSettingsValues values;
        values.hint = true;
        form.ApplyDisplaySwitches(values);
        QVERIFY(!form.HintsShown());
        QHelpEvent hidden(QEvent::ToolTip, QPoint(2, 2), line->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(line, &hidden);
        QTest::qWait(50);
        QVERIFY(!QToolTip::isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

// The cashier permissions window opened from the cashier grid: ticks from the cell, the
// group switches, the value written back only into a data cell, and profiles in a file.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "gui/program_harness.h"
#include "gui/register/permission_actions.h"
#include "gui/register/tkasjer_form.h"
#include "tables/catalogue.h"

using kasa::testing::Program;

namespace {

struct Opened {
    Program p{false, "[USTAWIENIA]\r\nChashPath=Vesper\r\n"};
    kasa::gui::PermissionActions* actions =
        p.form->findChild<kasa::gui::PermissionActions*>(QStringLiteral("PermissionActions"));
    kasa::TextGrid& grid = *p.form->Grid("Kasjer");
    int col = 1;

    Opened() {
        while (col < grid.ColCount() && grid.Cell(col, 0) != "Uprawnienia") {
            ++col;
        }
        actions->Window()->SetFileChooser([] { return std::nullopt; });
    }
    kasa::gui::TKasjerForm& Window() { return *actions->Window(); }
};

}  // namespace

class KasjerFormTest : public QObject {
    Q_OBJECT

  private slots:
    void editsTheCellOfTheClickedCashier() {
        Opened o;
        QVERIFY(o.col < o.grid.ColCount());
        o.grid.SetCell(o.col, 2, "191");
        o.actions->CashierCellClicked(o.col, 0);
        QVERIFY(!o.Window().isVisible());
        o.actions->CashierCellClicked(o.col, 2);
        QVERIFY(o.Window().isVisible());
        QCOMPARE(o.Window().Mask(), kasa::PermissionMask{191});
        QCOMPARE(o.Window().findChild<QLineEdit*>(QStringLiteral("eWartosc"))->text(),
                 QStringLiteral("191 (0x8FFFFF40)"));
        QCOMPARE(o.Window().Profiles().size(), size_t{2});
        // Its buttons stay on a 768-pixel-high screen with a task bar.
        QVERIFY(o.Window().sizeHint().height() <= 700);

        o.Window().Box(kasa::kSaleSwitch)->click();
        QVERIFY(!o.Window().Box(1)->isEnabled());
        QVERIFY(o.Window().Box(1)->isChecked());
        o.Window().Box(28)->setChecked(true);
        o.Window().SaveChanges();
        QCOMPARE(o.grid.Cell(o.col, 2), std::string("2147483838"));

        o.Window().Open("5", {&o.grid, nullptr, o.col, 0});
        o.Window().SaveChanges();
        QCOMPARE(o.grid.Cell(o.col, 0), std::string("Uprawnienia"));
    }

    // The grids are built anew for the other register type while the window is open: it
    // closes and forgets the old grid, so "Zapisz zmiany" writes into no freed memory.
    void aRebuiltGridClosesTheWindow() {
        Opened o;
        o.actions->CashierCellClicked(o.col, 2);
        QVERIFY(o.Window().isVisible());
        std::string zen(kasa::kModelNameZen);
        kasa::ActiveModelSelection().Select(zen);
        o.p.form->RebuildTables(1);
        QVERIFY(!o.Window().isVisible());
        o.Window().Box(28)->setChecked(true);
        o.Window().SaveChanges();
        kasa::TextGrid& cashiers = *o.p.form->Grid("Kasjer");
        for (int c = 1; c < cashiers.ColCount(); ++c) {
            QVERIFY(cashiers.Cell(c, 2).empty());
        }
    }

    void profilesAreSavedAndDeletedInTheFile() {
        Opened o;
        const std::string path = o.p.folder.Path("profile.pod");
        o.Window().SetFileChooser([&] { return std::optional<std::string>(path); });
        o.Window().SetNameAsker([](const std::string& proposal) {
            return std::optional<std::string>(proposal + " 2");
        });
        o.Window().SetCommentEditor(
            [](const std::string&) { return std::optional<std::string>("Rano\nWieczór"); });
        o.Window().Open("", {});
        QVERIFY(o.Window().windowTitle().endsWith(QString::fromStdString(path)));
        o.Window().findChild<QListWidget*>(QStringLiteral("UprList"))->setCurrentRow(1);
        o.Window().ProfileDoubleClicked(1);
        o.Window().SaveProfileClicked();
        QCOMPARE(
            o.p.folder.Read("profile.pod"),
            std::string("[UPRAWNIENIA KASJER\xD3W]\r\nSprzedawca 2=191;;Rano;;Wiecz\xF3r\r\n"));
        QCOMPARE(o.Window().Profiles().size(), size_t{3});
        QCOMPARE(o.Window().Profiles()[2].name, std::string("Sprzedawca 2"));
        o.Window().DeleteProfileClicked();
        QCOMPARE(o.Window().Profiles().size(), size_t{2});
    }
};

QTEST_MAIN(KasjerFormTest)
#include "kasjer_form_test.moc"

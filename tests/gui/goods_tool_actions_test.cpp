// The window's goods tools: the panels' buttons stay bound when the pages are built anew
// for another register, a menu tool is one undo step, and a busy register refuses them.
#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "gui/bare_form.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/form_table_set.h"
#include "gui/tables/goods_tool_actions.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

using kasa::TableKind;
using kasa::TextGrid;

namespace {

class Harness : public kasa::testing::BareForm {
  public:
    Harness() : BareForm("Vesper") {
        kasa::gui::BindGoodsToolActions(*form, [this] { return busy; });
    }
    const kasa::TableDescriptor& Goods() const { return form->Model().Table(TableKind::kGoods); }
    TextGrid& Grid() { return *form->Grid(Goods().tableName); }
    std::string Cell(const char* key, int row) {
        return Grid().Cell(Goods().ColumnOfKey(key), row);
    }
    void Put(const char* key, int row, const std::string& text) {
        Grid().SetCell(Goods().ColumnOfKey(key), row, text);
    }
    void Tick(const char* box) {
        auto* check = form->ControlAs<QCheckBox>(QString::fromLatin1(box));
        QVERIFY(check != nullptr);
        check->setChecked(true);
    }
    void Click(const char* button) {
        auto* push = form->ControlAs<QPushButton>(QString::fromLatin1(button));
        QVERIFY2(push != nullptr && push->isEnabled(), button);
        push->click();
    }

    bool busy = false;
};

}  // namespace

class GoodsToolActionsTest : public QObject {
    Q_OBJECT

  private slots:
    void recalculationWorksAfterThePagesAreBuiltAgain() {
        Harness h;
        // A register identified as another model, or another minimum PLU, builds new pages.
        h.form->RebuildTables(1);
        QCoreApplication::processEvents();
        h.Put("NAZ", 1, "Chleb");
        h.Put("CEN", 1, "2.50");
        h.Put("ILO", 1, "4");
        h.Put("MIL", 1, "3");
        h.Tick("PLU_przelicz_tabela_sprzedaz");
        h.Click("PLU_przelicz_baze");
        QCOMPARE(h.Cell("WAR", 1), std::string("10"));
        // Only the ticked value is worked out.
        QCOMPARE(h.Cell("MWA", 1), std::string());
        h.Tick("PLU_przelicz_tabela_magazyn");
        h.Click("PLU_przelicz_baze");
        QCOMPARE(h.Cell("MWA", 1), std::string("7.5"));
    }

    void aMenuToolIsOneUndoStepAndWaitsForTheRegister() {
        Harness h;
        const std::vector<std::string> names{"Żurek", "Ananas", "Łosoś", "Bułka"};
        for (size_t i = 0; i < names.size(); ++i) {
            h.Put("NAZ", static_cast<int>(i) + 1, names[i]);
        }
        h.busy = true;
        h.form->MenuAction(QStringLiteral("Sortuj &A do Z"))->trigger();
        QCOMPARE(h.Cell("NAZ", 1), std::string("Żurek"));
        QCOMPARE(h.messages.size(), size_t{1});

        h.busy = false;
        h.form->MenuAction(QStringLiteral("Sortuj &A do Z"))->trigger();
        QCOMPARE(h.Cell("NAZ", 1), std::string("Ananas"));
        QCOMPARE(h.Cell("NAZ", 2), std::string("Bułka"));
        QCOMPARE(h.Cell("NAZ", 3), std::string("Łosoś"));
        QCOMPARE(h.Cell("NAZ", 4), std::string("Żurek"));

        auto* view = h.form->findChild<QTableView*>(
            QString::fromUtf8(h.Goods().tableName.data(),
                              static_cast<int>(h.Goods().tableName.size())) +
            QStringLiteral("_T"));
        QVERIFY(view != nullptr);
        view->setCurrentIndex(view->model()->index(0, 0));
        QKeyEvent undo(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::sendEvent(view, &undo);
        for (size_t i = 0; i < names.size(); ++i) {
            QCOMPARE(h.Cell("NAZ", static_cast<int>(i) + 1), names[i]);
        }
    }
};

QTEST_MAIN(GoodsToolActionsTest)
#include "goods_tool_actions_test.moc"

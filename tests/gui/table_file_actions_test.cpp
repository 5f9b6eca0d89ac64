// The main window's table file commands: a click saves or loads the right file, shows the
// right message under the window's caption, and keeps the last file in the settings. The
// dialog and file rules themselves are tested in the core.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "ecr/vat_totals.h"
#include "gui/bare_form.h"
#include "gui/checked_items.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/form_table_set.h"
#include "gui/tables/grid_model.h"
#include "gui/tables/table_file_actions.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

using kasa::TableKind;
using kasa::TextGrid;
using kasa::gui::FileDialogChoice;
using kasa::gui::FileDialogRequest;
using kasa::testing::gui::LastItem;

namespace {

const char* const kCaption = "Program serwisowy kas";

// A "Zen" main window with its file commands bound, whose dialogs and
// message boxes are answered by the test.
class Harness : public kasa::testing::BareForm {
  public:
    Harness() : BareForm("Zen") {
        kasa::gui::BindTableFileActions(
            *form, settings, [this] { return busy; },
            [this](const FileDialogRequest& request) {
                requests.push_back(request);
                FileDialogChoice choice;
                if (!choices.empty()) {
                    choice = choices.front();
                    choices.pop_front();
                }
                return choice;
            });
    }

    void Choose(const QString& path, const char* filter) {
        choices.push_back({path, QString::fromUtf8(filter)});
    }
    void Click(const QString& button) {
        auto* pushButton = form->ControlAs<QPushButton>(button);
        QVERIFY2(pushButton != nullptr && pushButton->isEnabled(), qPrintable(button));
        pushButton->click();
    }
    void Trigger(const char* caption) {
        QAction* action = form->MenuAction(QString::fromUtf8(caption));
        QVERIFY2(action != nullptr && action->isEnabled(), caption);
        action->trigger();
    }
    TextGrid& Grid(TableKind kind) { return *form->Grid(form->Model().Table(kind).tableName); }
    QLineEdit* Edit(const QString& name) const { return form->ControlAs<QLineEdit>(name); }
    QCheckBox* Box(const char* prefix, int line) const {
        return form->ControlAs<QCheckBox>(QString::fromUtf8(prefix) + QString::number(line));
    }
    // Empties every table the way a change of register type does; the buttons are bound
    // again once the events have run.
    void EmptyWindow() {
        form->RebuildTables(1);
        QCoreApplication::processEvents();
    }

    kasa::Settings settings;
    bool busy = false;
    std::deque<FileDialogChoice> choices;
    std::vector<FileDialogRequest> requests;
};

// Fills rows of a grid table: the name column with Polish letters, check-box columns with
// "TAK", the other columns with texts telling column and row apart. Columns without an
// edit control are left empty, as a .pod load never reads them.
void FillRows(TextGrid& grid, const kasa::TableDescriptor& table, const std::vector<int>& rows) {
    for (const int r : rows) {
        for (int c = 1; c < table.FieldCount(); ++c) {
            const std::string_view edit = table.fields[static_cast<size_t>(c)].editName;
            grid.SetCell(c, r,
                         edit.empty()          ? std::string()
                         : c == 1              ? "Żółć " + std::to_string(r)
                         : edit.front() == 'c' ? std::string("TAK")
                                               : std::to_string(c * 100 + r));
        }
    }
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

const std::vector<TableKind> kGridKinds = {
    TableKind::kPackaging,  TableKind::kKeys,         TableKind::kCashiers, TableKind::kDiscounts,
    TableKind::kSurcharges, TableKind::kPaymentForms, TableKind::kGoods,
};

}  // namespace

class TableFileActionsTest : public QObject {
    Q_OBJECT

  private slots:
    // A name typed without an extension is saved with the filter's, and loads back into an
    // emptied window. Windows-1250 "Żółć" is AF F3 B3 E6.
    void goodsTableRoundTripsThroughCsv() {
        QTemporaryDir dir;
        Harness h;
        TextGrid& grid = h.Grid(TableKind::kGoods);
        const int lastRow = grid.RowCount() - 1;
        FillRows(grid, h.form->Model().Table(TableKind::kGoods), {1, 2, 7, lastRow});
        const TextGrid saved = grid;

        h.Choose(dir.filePath("towary"), kasa::kCsvFileFilter);
        h.Click("PLU_zapis");
        const QString path = dir.filePath("towary.csv");  // the filter's extension
        QVERIFY(ReadFile(path).startsWith(
            "Numer;Nazwa;Kod kreskowy;PTU;Op.;Cena;Ilo\x9c\xe6\r\n1;\xaf\xf3\xb3\xe6 1;201;"));
        QCOMPARE(h.settings.ExtLast, std::string("CSV"));

        h.EmptyWindow();
        h.Choose(path, kasa::kCsvFileFilter);
        h.Click("PLU_odczyt");
        QVERIFY2(h.Grid(TableKind::kGoods) == saved, qPrintable(path));
        // The dialog started at the file just saved, and the view shows the loaded texts.
        QCOMPARE(LastItem(h.requests).startPath, path);
        kasa::gui::GridModel* model = h.form->GridModelOf("PLU");
        QCOMPARE(model->data(model->IndexOfCell(1, lastRow)).toString(),
                 QString::fromStdString("Żółć " + std::to_string(lastRow)));
        QVERIFY(h.messages.empty());
    }

    // "x.txt" typed under the CSV filter is a text file of that name; a save that would
    // replace a file asks about the file it writes, and "Nie" (the default) keeps it.
    void typedExtensionChoosesTheKindAndTheQuestionNamesTheFile() {
        QTemporaryDir dir;
        Harness h;
        FillRows(h.Grid(TableKind::kGoods), h.form->Model().Table(TableKind::kGoods), {1});
        h.Choose(dir.filePath("x.txt"), kasa::kCsvFileFilter);
        h.Click("PLU_zapis");
        QVERIFY(!QFile::exists(dir.filePath("x.txt.csv")));
        QVERIFY(ReadFile(dir.filePath("x.txt")).startsWith("Numer\tNazwa\t"));
        QCOMPARE(h.settings.ExtLast, std::string("TXT"));
        QVERIFY(h.messages.empty());

        const QString old = dir.filePath("towary.csv");
        WriteFile(old, "stare");
        h.Choose(dir.filePath("towary"), kasa::kCsvFileFilter);
        h.Click("PLU_zapis");  // the test's boxes answer "OK", which is not "Tak"
        QCOMPARE(h.messages.size(), size_t{1});
        QVERIFY2(QString::fromStdString(h.messages[0])
                     .endsWith(QStringLiteral(": Plik ") + old +
                               QStringLiteral(" już istnieje.\nCzy zastąpić go?")),
                 h.messages[0].c_str());
        QCOMPARE(ReadFile(old), QByteArray("stare"));
    }

    // The backup of everything holds the register's rates where "Nowa stawka" is empty.
    void saveAllStoresTheRegistersRatesForEmptyFields() {
        QTemporaryDir dir;
        Harness h;
        const char* shown[] = {"23%", "8%", "5%", "0%", "zw.", "nakt", "nakt"};
        for (int i = 0; i < 7; ++i) {
            auto* label = h.form->ControlAs<QLabel>(QStringLiteral("EVat") + QChar('A' + i));
            QVERIFY(label != nullptr);
            label->setText(QString::fromUtf8(shown[i]));
        }
        h.Edit("E_VatA")->setText("22");
        h.Choose(dir.filePath("kopia"), kasa::kPodFileFilter);
        h.Trigger("&Zachowaj wszystko do pliku");
        QVERIFY(h.messages.empty());
        const QByteArray bytes = ReadFile(dir.filePath("kopia.pod"));
        QVERIFY2(bytes.contains("[PTU]\r\nPtu1=A;22;AKTYWNA\r\nPtu2=B;8;AKTYWNA\r\n"
                                "Ptu3=C;5;AKTYWNA\r\nPtu4=D;0;AKTYWNA\r\nPtu5=E;;ZWOLNIONA\r\n"
                                "Ptu6=F;;NIEAKTYWNA\r\n"),
                 bytes.constData());
        // The fields themselves stay empty: only the file holds the register's rates.
        QCOMPARE(h.Edit("E_VatB")->text(), QString());
    }

    void everythingRoundTripsThroughOnePodFile() {
        QTemporaryDir dir;
        Harness h;
        std::vector<TextGrid> saved;
        for (const TableKind kind : kGridKinds) {
            TextGrid& grid = h.Grid(kind);
            FillRows(grid, h.form->Model().Table(kind), {1, grid.RowCount() - 1});
            saved.push_back(grid);
        }
        // "Sklep Łódź" is 10 characters: ticked for centring it comes back centred in the
        // 20 of a line; a line not ticked loses its leading spaces.
        const QStringList typed = {"Sklep Łódź", "ul. Długa 5; lok. 2", "  NIP 123  "};
        const QStringList shown = {"     Sklep Łódź", "ul. Długa 5; lok. 2", "NIP 123"};
        const QStringList flags = {"C", "BD", ""};
        for (int n = 1; n <= typed.size(); ++n) {
            h.Edit(QStringLiteral("Line%1").arg(n))->setText(typed[n - 1]);
            h.Box("CLine", n)->setChecked(flags[n - 1].contains('C'));
            h.Box("BLine", n)->setChecked(flags[n - 1].contains('B'));
            h.Box("DLine", n)->setChecked(flags[n - 1].contains('D'));
        }

        h.Choose(dir.filePath("wszystko"), kasa::kPodFileFilter);
        h.Trigger("&Zachowaj wszystko do pliku");
        QVERIFY(h.messages.empty());
        QCOMPARE(h.form->ProgressBar()->value(), -1);  // reset once the work is done
        const QByteArray bytes = ReadFile(dir.filePath("wszystko.pod"));
        QVERIFY(
            bytes.contains("[NAGLOWEK]\r\nLinja1=1;1;0;0;Sklep \xa3\xf3"
                           "d\x9f\r\n"));

        h.EmptyWindow();
        h.Choose(dir.filePath("wszystko.pod"), kasa::kPodFileFilter);
        h.Trigger("&Ładuj wszystko z pliku");
        QVERIFY(h.messages.empty());
        QCOMPARE(h.form->ProgressBar()->value(), -1);

        for (size_t i = 0; i < saved.size(); ++i) {
            QVERIFY2(h.Grid(kGridKinds[i]) == saved[i],
                     h.form->Model().Table(kGridKinds[i]).tableName.data());
        }
        for (int n = 1; n <= typed.size(); ++n) {
            QCOMPARE(h.Edit(QStringLiteral("Line%1").arg(n))->text(), shown[n - 1]);
            QCOMPARE(h.Box("BLine", n)->isChecked(), flags[n - 1].contains('B'));
            QCOMPARE(h.Box("DLine", n)->isChecked(), flags[n - 1].contains('D'));
        }
    }

    // Every grid table goes to a workbook and comes back from it through the window; the
    // header keeps to .pod files.
    void everyGridTableOffersWorkbooks() {
        QTemporaryDir dir;
        Harness h;
        for (const TableKind kind : kGridKinds) {
            const kasa::TableDescriptor& table = h.form->Model().Table(kind);
            const QString name = QString::fromUtf8(table.tableName.data(),
                                                   static_cast<qsizetype>(table.tableName.size()));
            TextGrid& grid = h.Grid(kind);
            FillRows(grid, table, {1, 2});
            const TextGrid saved = grid;
            h.Choose(dir.filePath(name), kasa::kXlsxFileFilter);
            h.Click(name + QStringLiteral("_zapis"));
            QVERIFY2(
                LastItem(h.requests).filters.contains(QString::fromUtf8(kasa::kXlsxFileFilter)),
                qPrintable(name));
            QVERIFY2(ReadFile(dir.filePath(name + QStringLiteral(".xlsx"))).startsWith("PK"),
                     qPrintable(name));
            QCOMPARE(h.settings.ExtLast, std::string("XLSX"));
            grid.ClearValues();
            h.Choose(dir.filePath(name + QStringLiteral(".xlsx")), kasa::kXlsxFileFilter);
            h.Click(name + QStringLiteral("_odczyt"));
            QVERIFY2(h.Grid(kind) == saved, qPrintable(name));
        }
        QVERIFY(h.messages.empty());
        h.Click("Naglowek_zapis");
        QCOMPARE(LastItem(h.requests).filters,
                 QStringList{QString::fromUtf8(kasa::kPodFileFilter)});
    }

    void loadFailureIsShownAndWhatWasReadStays() {
        QTemporaryDir dir;
        Harness h;
        TextGrid& grid = *h.form->Grid("Kasjer");
        grid.SetCell(1, 3, "Stary wpis");
        WriteFile(dir.filePath("k.pod"), QByteArray("[KASJERZY]\r\nKasjer1=1;Ala;1;0") +
                                             QByteArray(10, ';') + "\r\nKasjer2=99;Jan;2;0" +
                                             QByteArray(10, ';') + "\r\n");
        h.Choose(dir.filePath("k.pod"), kasa::kPodFileFilter);
        h.Click("Kasjer_odczyt");
        QCOMPARE(h.messages, std::vector<std::string>{std::string(kCaption) +
                                                      ": Numer wiersza poza zakresem. 99"});
        QCOMPARE(grid.Cell(1, 1), std::string("Ala"));
        QCOMPARE(grid.Cell(1, 3), std::string());
        QCOMPARE(grid.Cell(0, 1), std::string("1"));  // record numbers stay set up
    }

    void failedSaveIsShown() {
        QTemporaryDir dir;
        Harness h;
        h.Grid(TableKind::kGoods).SetCell(1, 1, "Chleb");
        h.Choose(dir.filePath("brak/towary.csv"), kasa::kCsvFileFilter);
        h.Click("PLU_zapis");
        QCOMPARE(h.messages.size(), size_t{1});
        QVERIFY(
            h.messages[0].starts_with(std::string(kCaption) + ": Nie udało się zapisać pliku "));
    }

    void busyJobRefusesEveryCommand() {
        Harness h;
        h.busy = true;
        h.Click("PLU_zapis");
        h.Click("Kasjer_odczyt");
        h.Click("Naglowek_zapis");
        h.Trigger("&Zachowaj wszystko do pliku");
        h.Trigger("&Ładuj wszystko z pliku");
        QVERIFY(h.requests.empty());
        const std::string refused = std::string(kCaption) + ": " + kasa::kBusyMessage;
        QCOMPARE(h.messages, std::vector<std::string>(5, refused));
    }

    void buttonsStayBoundWhenThePagesAreBuiltAgain() {
        QTemporaryDir dir;
        Harness h;
        std::string vesper = "Vesper";
        kasa::ActiveModelSelection().Select(vesper);
        h.EmptyWindow();
        QCOMPARE(h.form->Model().name, kasa::kModelNameVesper);

        // The header page is not built again: its buttons still answer once per click.
        h.Edit("Line1")->setText("Nagłówek");
        h.Choose(dir.filePath("naglowek"), kasa::kPodFileFilter);
        h.Click("Naglowek_zapis");
        h.Edit("Line1")->clear();
        h.Choose(dir.filePath("naglowek.pod"), kasa::kPodFileFilter);
        h.Click("Naglowek_odczyt");
        QCOMPARE(h.requests.size(), size_t{2});
        QCOMPARE(h.Edit("Line1")->text(), QStringLiteral("Nagłówek"));

        // The new table pages' buttons are bound, to the new register type's tables.
        TextGrid& surcharges = h.Grid(TableKind::kSurcharges);
        surcharges.SetCell(1, 1, "Dopłata");
        surcharges.SetCell(3, 1, "2.50");  // "Kwota", a column "Vesper" has
        h.Choose(dir.filePath("doplaty"), kasa::kPodFileFilter);
        h.Click("Doplata_zapis");
        QCOMPARE(h.requests.size(), size_t{3});
        QVERIFY(ReadFile(dir.filePath("doplaty.pod"))
                    .contains("[DOPLATY]\r\nDoplata5=5;Dop\xb3"
                              "ata;;2.50\r\n"));
        QVERIFY(h.messages.empty());
    }

    void tableSetReachesTheWindowAndOneTableLeavesTheRest() {
        Harness h;
        kasa::TableSet tables = kasa::gui::CollectTableSet(*h.form);
        tables.vatRates[6] = "zw";
        kasa::gui::ApplyTableSet(*h.form, tables);
        QCOMPARE(h.Edit("E_VatG")->text(), QStringLiteral("zw"));

        // One table only: the others stay as the window holds them.
        kasa::TableSet keysOnly = kasa::gui::CollectTableSet(*h.form, TableKind::kKeys);
        QCOMPARE(keysOnly.Grid(TableKind::kGoods).RowCount(), 0);
        keysOnly.Grid(TableKind::kKeys).SetCell(1, 2, "18");
        keysOnly.vatRates[6] = "23";
        kasa::gui::ApplyTableSet(*h.form, keysOnly, TableKind::kKeys);
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(1, 2), std::string("18"));
        QCOMPARE(h.Edit("E_VatG")->text(), QStringLiteral("zw"));
    }
};

QTEST_MAIN(TableFileActionsTest)
#include "table_file_actions_test.moc"

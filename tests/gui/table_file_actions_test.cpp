// The main window's table file commands: a click saves or loads the right file, shows the
// right message under the window's caption, and keeps the last file in the settings. The
// dialog and file rules themselves are tested in the core.
#include <QAction>
#include <QCheckBox>
#include <QFile>
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
#include "gui/form_table_set.h"
#include "gui/grid_model.h"
#include "gui/header_line_centring.h"
#include "gui/qt_user_interface.h"
#include "gui/table_file_actions.h"
#include "gui/tecrform.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

using kasa::TableKind;
using kasa::TextGrid;
using kasa::gui::FileDialogChoice;
using kasa::gui::FileDialogRequest;

namespace {

const char* const kCaption = "Program serwisowy kas";

// A main window of one register type with its file commands bound, whose dialogs and
// message boxes are answered by the test.
class Harness {
  public:
    explicit Harness(const char* type, int minPlu = 1) {
        std::string stored = type;
        kasa::ActiveModelSelection().Select(stored);
        form = std::make_unique<kasa::gui::TECRForm>();
        form->RebuildTables(minPlu);
        form->Ui().SetAnswerProvider(
            [this](const std::string& title, const std::string& text, kasa::Buttons) {
                messages.push_back(title + ": " + text);
                return kasa::Answer::Ok;
            });
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

    std::unique_ptr<kasa::gui::TECRForm> form;
    kasa::Settings settings;
    bool busy = false;
    std::deque<FileDialogChoice> choices;
    std::vector<FileDialogRequest> requests;
    std::vector<std::string> messages;  // "title: text"
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

bool SameCells(const TextGrid& a, const TextGrid& b) {
    if (a.ColCount() != b.ColCount() || a.RowCount() != b.RowCount()) {
        return false;
    }
    for (int r = 0; r < a.RowCount(); ++r) {
        for (int c = 0; c < a.ColCount(); ++c) {
            if (a.Cell(c, r) != b.Cell(c, r)) {
                qWarning("cell (%d,%d): \"%s\", expected \"%s\"", c, r, a.Cell(c, r).c_str(),
                         b.Cell(c, r).c_str());
                return false;
            }
        }
    }
    return true;
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
    void goodsTableRoundTripsThroughEachKind_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QByteArray>("fileStart");
        // Worked out by hand: Windows-1250 "Żółć" is AF F3 B3 E6.
        QTest::newRow("Zen pod") << "Zen" << kasa::kPodFileFilter << ".pod"
                                 << QByteArray("[TOWARY]\r\nPlu1=1;\xaf\xf3\xb3\xe6 1;201;");
        QTest::newRow("Zen csv") << "Zen" << kasa::kCsvFileFilter << ".csv"
                                 << QByteArray(
                                        "Numer;Nazwa;Kod kreskowy;PTU;Op.;Cena;Ilo\x9c\xe6"
                                        "\r\n1;\xaf\xf3\xb3\xe6 1;201;");
        QTest::newRow("Vesper txt") << "Vesper" << kasa::kTxtFileFilter << ".txt"
                                    << QByteArray("Numer\tNazwa\tKod kreskowy\tPTU\t");
    }

    void goodsTableRoundTripsThroughEachKind() {
        QFETCH(QString, type);
        QFETCH(QString, filter);
        QFETCH(QString, extension);
        QFETCH(QByteArray, fileStart);
        QTemporaryDir dir;
        Harness h(type.toUtf8().constData());
        TextGrid& grid = h.Grid(TableKind::kGoods);
        const int lastRow = grid.RowCount() - 1;
        FillRows(grid, h.form->Model().Table(TableKind::kGoods), {1, 2, 7, lastRow});
        const TextGrid saved = grid;

        // The name is typed without an extension: the selected filter's is appended.
        h.Choose(dir.filePath("towary"), filter.toUtf8().constData());
        h.Click("PLU_zapis");
        const QString path = dir.filePath("towary") + extension;
        QVERIFY2(ReadFile(path).startsWith(fileStart), ReadFile(path).left(80).constData());
        QCOMPARE(h.settings.ExtLast, extension.mid(1).toUpper().toStdString());

        h.EmptyWindow();
        h.Choose(path, filter.toUtf8().constData());
        h.Click("PLU_odczyt");
        QVERIFY(SameCells(h.Grid(TableKind::kGoods), saved));
        // The dialog started at the file just saved, and the view shows the loaded texts.
        QCOMPARE(h.requests.back().startPath, path);
        kasa::gui::GridModel* model = h.form->GridModelOf("PLU");
        QCOMPARE(model->data(model->IndexOfCell(1, lastRow)).toString(),
                 QString::fromStdString("Żółć " + std::to_string(lastRow)));
        QVERIFY(h.messages.empty());
    }

    void everythingRoundTripsThroughOnePodFile() {
        QTemporaryDir dir;
        Harness h("Zen");
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
        const QStringList rates = {"23", "8", "5", "0", "nakt", "zw", ""};
        for (int i = 0; i < rates.size(); ++i) {
            h.Edit(QStringLiteral("E_Vat") + QChar('A' + i))->setText(rates[i]);
        }

        h.Choose(dir.filePath("wszystko"), kasa::kPodFileFilter);
        h.Trigger("&Zachowaj wszystko do pliku");
        QCOMPARE(h.form->ProgressBar()->value(), 8);
        QCOMPARE(h.form->ProgressBar()->maximum(), 8);
        const QByteArray bytes = ReadFile(dir.filePath("wszystko.pod"));
        QVERIFY(
            bytes.contains("[NAGLOWEK]\r\nLinja1=1;1;0;0;Sklep \xa3\xf3"
                           "d\x9f\r\n"));
        QVERIFY(bytes.contains("Ptu5=E;;NIEAKTYWNA\r\nPtu6=F;;ZWOLNIONA\r\n"));

        h.EmptyWindow();
        h.Choose(dir.filePath("wszystko.pod"), kasa::kPodFileFilter);
        h.Trigger("&Ładuj wszystko z pliku");
        QVERIFY(h.messages.empty());
        for (size_t i = 0; i < kGridKinds.size(); ++i) {
            QVERIFY2(SameCells(h.Grid(kGridKinds[i]), saved[i]),
                     h.form->Model().Table(kGridKinds[i]).tableName.data());
        }
        for (int n = 1; n <= typed.size(); ++n) {
            QCOMPARE(h.Edit(QStringLiteral("Line%1").arg(n))->text(), shown[n - 1]);
            QCOMPARE(h.Box("BLine", n)->isChecked(), flags[n - 1].contains('B'));
            QCOMPARE(h.Box("DLine", n)->isChecked(), flags[n - 1].contains('D'));
        }
        for (int i = 0; i < rates.size(); ++i) {
            QCOMPARE(h.Edit(QStringLiteral("E_Vat") + QChar('A' + i))->text(), rates[i]);
        }
    }

    void loadFailureIsShownAndKeepsWhatCannotBeReplaced_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("row1");  // column 1 of row 1 after the load
        QTest::addColumn<QString>("row3");  // row 3 held "Stary wpis" before
        // A file that gives nothing leaves the table as it was.
        QTest::newRow("missing pod")
            << "PLU_odczyt"
            << "brak.pod" << QByteArray() << "Podany plik jest pusty lub nieistnieje"
            << ""
            << "Stary wpis";
        QTest::newRow("empty csv")
            << "PLU_odczyt"
            << "pusty.csv" << QByteArray("") << "Podany plik jest pusty lub nieistnieje"
            << ""
            << "Stary wpis";
        QTest::newRow("as many tabs as semicolons")
            << "PLU_odczyt"
            << "towary.csv" << QByteArray("Numer\tNazwa;Cena\r\n1;Chleb\t2\r\n")
            << "Brak separatora."
            << ""
            << "Stary wpis";
        // What was read before a bad record replaces the table.
        QTest::newRow("pod record out of range")
            << "Kasjer_odczyt"
            << "kasjerzy.pod"
            << QByteArray("[KASJERZY]\r\nKasjer1=1;Ala;1111;0\r\nKasjer2=99;Jan;1234;0\r\n")
            << "Numer wiersza poza zakresem. 99"
            << "Ala"
            << "";
        // CSV content under a .pod name is read as CSV.
        QTest::newRow("csv named pod")
            << "PLU_odczyt"
            << "towary.pod" << QByteArray("Numer;Nazwa\r\n1;Chleb\r\n") << ""
            << "Chleb"
            << "";
    }

    void loadFailureIsShownAndKeepsWhatCannotBeReplaced() {
        QFETCH(QString, button);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(QString, row1);
        QFETCH(QString, row3);
        QTemporaryDir dir;
        Harness h("Zen");
        TextGrid& grid = *h.form->Grid(button.section('_', 0, 0).toStdString());
        grid.SetCell(1, 3, "Stary wpis");
        if (fileName != "brak.pod") {
            WriteFile(dir.filePath(fileName), content);
        }
        h.Choose(dir.filePath(fileName),
                 fileName.endsWith(".pod") ? kasa::kPodFileFilter : kasa::kCsvFileFilter);
        h.Click(button);
        const std::vector<std::string> expected =
            message.isEmpty() ? std::vector<std::string>{}
                              : std::vector<std::string>{kCaption + (": " + message.toStdString())};
        QCOMPARE(h.messages, expected);
        QCOMPARE(QString::fromStdString(grid.Cell(1, 1)), row1);
        QCOMPARE(QString::fromStdString(grid.Cell(1, 3)), row3);
        QCOMPARE(grid.Cell(0, 1), std::string("1"));  // record numbers stay set up
    }

    void failedSaveIsShown() {
        QTemporaryDir dir;
        Harness h("Zen");
        h.Grid(TableKind::kGoods).SetCell(1, 1, "Chleb");
        h.Choose(dir.filePath("brak/towary.csv"), kasa::kCsvFileFilter);
        h.Click("PLU_zapis");
        h.Choose(dir.filePath("brak/wszystko.pod"), kasa::kPodFileFilter);
        h.Trigger("&Zachowaj wszystko do pliku");
        QCOMPARE(h.messages.size(), size_t{2});
        for (const std::string& shown : h.messages) {
            QVERIFY2(shown.starts_with(std::string(kCaption) + ": Nie udało się zapisać pliku "),
                     shown.c_str());
        }
    }

    void busyJobRefusesEveryCommand() {
        Harness h("Zen");
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
        Harness h("Zen");
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

    void tableSetCopiesEveryTableBothWays() {
        Harness h("Zen");
        kasa::TableSet tables = kasa::gui::CollectTableSet(*h.form);
        tables.Grid(TableKind::kKeys).SetCell(1, 2, "17");
        tables.header[7] = {"Ósma", true, false, true};
        tables.vatRates[6] = "zw";
        kasa::gui::ApplyTableSet(*h.form, tables);
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(1, 2), std::string("17"));
        QCOMPARE(h.Edit("Line8")->text(), QStringLiteral("Ósma"));
        QVERIFY(h.Box("CLine", 8)->isChecked() && !h.Box("BLine", 8)->isChecked());
        QVERIFY(h.Box("DLine", 8)->isChecked());
        QCOMPARE(h.Edit("E_VatG")->text(), QStringLiteral("zw"));
        const kasa::TableSet back = kasa::gui::CollectTableSet(*h.form);
        QVERIFY(SameCells(back.Grid(TableKind::kKeys), tables.Grid(TableKind::kKeys)));
        QVERIFY(back.header == tables.header && back.vatRates == tables.vatRates);

        // One table only: the others stay as the window holds them.
        kasa::TableSet keysOnly = kasa::gui::CollectTableSet(*h.form, TableKind::kKeys);
        QCOMPARE(keysOnly.Grid(TableKind::kGoods).RowCount(), 0);
        keysOnly.Grid(TableKind::kKeys).SetCell(1, 2, "18");
        keysOnly.vatRates[6] = "23";
        kasa::gui::ApplyTableSet(*h.form, keysOnly, TableKind::kKeys);
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(1, 2), std::string("18"));
        QCOMPARE(h.Edit("E_VatG")->text(), QStringLiteral("zw"));

        // A grid of another size is set up for the window's table.
        kasa::TableSet small;
        small.Grid(TableKind::kKeys) = TextGrid(2, 3);
        small.Grid(TableKind::kKeys).SetCell(1, 1, "5");
        kasa::gui::ApplyTableSet(*h.form, small, TableKind::kKeys);
        QCOMPARE(h.Grid(TableKind::kKeys).RowCount(), 21);
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(0, 20), std::string("20"));
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(1, 1), std::string("5"));
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(1, 2), std::string());
    }
};

QTEST_MAIN(TableFileActionsTest)
#include "table_file_actions_test.moc"

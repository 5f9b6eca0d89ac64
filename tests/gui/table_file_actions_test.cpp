// The main window's table file commands: each table's file buttons and the menu's save all
// and load all, with the dialogs answered by the test, the messages under the window's
// caption, and the last files kept in the settings.
#include <signal.h>
#include <sys/resource.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"
#include "ecr/vat_totals.h"
#include "gui/form_table_set.h"
#include "gui/grid_model.h"
#include "gui/qt_user_interface.h"
#include "gui/table_file_actions.h"
#include "gui/tecrform.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

using kasa::Answer;
using kasa::Buttons;
using kasa::TableKind;
using kasa::TextGrid;
using kasa::gui::FileDialogChoice;
using kasa::gui::FileDialogMode;
using kasa::gui::FileDialogRequest;
using kasa::gui::TECRForm;

namespace {

const char* const kCaption = "Program serwisowy kas";

struct Shown {
    std::string title;
    std::string text;
};

// A main window of one register type with its file commands bound, whose dialogs and
// message boxes are answered by the test.
class Harness {
  public:
    explicit Harness(const char* type, int minPlu = 1) {
        std::string stored = type;
        kasa::ActiveModelSelection().Select(stored);
        form = std::make_unique<TECRForm>();
        form->RebuildTables(minPlu);
        form->Ui().SetAnswerProvider(
            [this](const std::string& title, const std::string& text, Buttons) {
                messages.push_back({title, text});
                return Answer::Ok;
            });
        kasa::gui::BindTableFileActions(
            *form, settings, [this] { return busy; },
            [this](const FileDialogRequest& request) {
                requests.push_back(request);
                if (choices.empty()) {
                    return FileDialogChoice{};
                }
                FileDialogChoice choice = choices.front();
                choices.pop_front();
                return choice;
            });
    }

    void Choose(const QString& path, const char* filter) {
        choices.push_back({path, QString::fromUtf8(filter)});
    }
    void Click(const char* button) {
        auto* pushButton = form->ControlAs<QPushButton>(QString::fromUtf8(button));
        QVERIFY2(pushButton != nullptr, button);
        QVERIFY2(pushButton->isEnabled(), button);
        pushButton->click();
    }
    void Trigger(const char* caption) {
        QAction* action = form->MenuAction(QString::fromUtf8(caption));
        QVERIFY2(action != nullptr && action->isEnabled(), caption);
        action->trigger();
    }
    TextGrid& Grid(TableKind kind) { return *form->Grid(form->Model().Table(kind).tableName); }
    // Empties every table the way a change of register type does; the buttons are bound
    // again once the events have run.
    void EmptyWindow(int minPlu = 1) {
        form->RebuildTables(minPlu);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TECRForm> form;
    kasa::Settings settings;
    bool busy = false;
    std::deque<FileDialogChoice> choices;
    std::vector<FileDialogRequest> requests;
    std::vector<Shown> messages;
};

// Fills rows of a grid table: the name column with Polish letters, check-box columns with
// "TAK", the other columns with texts telling column and row apart.
void FillRows(TextGrid& grid, const kasa::TableDescriptor& table, const std::vector<int>& rows) {
    for (const int r : rows) {
        for (int c = 1; c < table.FieldCount(); ++c) {
            const kasa::FieldDescriptor& field = table.fields[static_cast<size_t>(c)];
            std::string text = std::to_string(c * 100 + r);
            if (c == 1) {
                text = "Żółć " + std::to_string(r);
            } else if (!field.editName.empty() && field.editName.front() == 'c') {
                text = "TAK";
            }
            grid.SetCell(c, r, text);
        }
    }
}

// The grid `saved` as a .pod file gives it back: columns without an edit control are not
// read from it.
TextGrid WithoutUneditedColumns(TextGrid grid, const kasa::TableDescriptor& table) {
    for (int c = 1; c < grid.ColCount(); ++c) {
        if (table.fields[static_cast<size_t>(c)].editName.empty()) {
            for (int r = 1; r < grid.RowCount(); ++r) {
                grid.SetCell(c, r, {});
            }
        }
    }
    return grid;
}

QString FirstDifference(const TextGrid& actual, const TextGrid& expected) {
    if (actual.ColCount() != expected.ColCount() || actual.RowCount() != expected.RowCount()) {
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.ColCount())
            .arg(actual.RowCount())
            .arg(expected.ColCount())
            .arg(expected.RowCount());
    }
    for (int r = 0; r < actual.RowCount(); ++r) {
        for (int c = 0; c < actual.ColCount(); ++c) {
            if (actual.Cell(c, r) != expected.Cell(c, r)) {
                return QStringLiteral("cell (%1,%2): \"%3\", expected \"%4\"")
                    .arg(c)
                    .arg(r)
                    .arg(QString::fromStdString(actual.Cell(c, r)),
                         QString::fromStdString(expected.Cell(c, r)));
            }
        }
    }
    return {};
}

bool HasValues(const TextGrid& grid) {
    for (int r = 1; r < grid.RowCount(); ++r) {
        for (int c = 1; c < grid.ColCount(); ++c) {
            if (!grid.Cell(c, r).empty()) {
                return true;
            }
        }
    }
    return false;
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

QLineEdit* Edit(const TECRForm& form, const QString& name) {
    return form.ControlAs<QLineEdit>(name);
}
QCheckBox* Box(const TECRForm& form, const char* prefix, int line) {
    return form.ControlAs<QCheckBox>(QString::fromUtf8(prefix) + QString::number(line));
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
        // Worked out by hand: Windows-1250 "Żółć" is AF F3 B3 E6, "Ilość" ends 9C E6.
        const QByteArray zenTitles = "Numer;Nazwa;Kod kreskowy;PTU;Op.;Cena;Ilo\x9c\xe6\r\n";
        for (const char* type : {"Zen", "Vesper"}) {
            const QString name = QString::fromUtf8(type);
            QTest::addRow("%s pod", type)
                << name << kasa::gui::kPodFileFilter << ".pod"
                << QByteArray("[TOWARY]\r\nPlu1=1;\xaf\xf3\xb3\xe6 1;201;");
            QTest::addRow("%s csv", type)
                << name << kasa::gui::kCsvFileFilter << ".csv"
                << (name == "Zen" ? zenTitles + "1;\xaf\xf3\xb3\xe6 1;201;301;401;501;601\r\n2;"
                                  : QByteArray("Numer;Nazwa;Kod kreskowy;PTU;Grupa;Op.;"));
            QTest::addRow("%s txt", type) << name << kasa::gui::kTxtFileFilter << ".txt"
                                          << QByteArray("Numer\tNazwa\tKod kreskowy\tPTU\t");
        }
    }

    void goodsTableRoundTripsThroughEachKind() {
        QFETCH(QString, type);
        QFETCH(QString, filter);
        QFETCH(QString, extension);
        QFETCH(QByteArray, fileStart);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Harness h(type.toUtf8().constData());
        const kasa::TableDescriptor& goods = h.form->Model().Table(TableKind::kGoods);
        TextGrid& grid = h.Grid(TableKind::kGoods);
        const int lastRow = grid.RowCount() - 1;
        FillRows(grid, goods, {1, 2, 7, lastRow});
        const TextGrid saved = grid;

        // The name is typed without an extension: the selected filter's is appended.
        h.Choose(dir.filePath("towary"), filter.toUtf8().constData());
        h.Click("PLU_zapis");
        const QString path = dir.filePath("towary") + extension;
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QVERIFY2(ReadFile(path).startsWith(fileStart), ReadFile(path).left(80).constData());

        h.EmptyWindow();
        QVERIFY(!HasValues(h.Grid(TableKind::kGoods)));
        h.Choose(path, filter.toUtf8().constData());
        h.Click("PLU_odczyt");
        const QString difference = FirstDifference(h.Grid(TableKind::kGoods), saved);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        // The views were told: the table shows the loaded texts.
        kasa::gui::GridModel* model = h.form->GridModelOf("PLU");
        QCOMPARE(model->data(model->IndexOfCell(1, lastRow)).toString(),
                 QString::fromStdString("Żółć " + std::to_string(lastRow)));
        QVERIFY(h.messages.empty());
        QCOMPARE(h.requests.size(), size_t{2});
    }

    void everythingRoundTripsThroughOnePodFile_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("typedLines");
        QTest::addColumn<QStringList>("flags");  // centring, double height, bold as "CBD"
        QTest::addColumn<QStringList>("shownLines");
        // Lines ticked for centring come back centred in the line's width, counted in
        // characters: "Sklep Łódź" is 10 of them. Lines not ticked lose their leading
        // spaces; the file keeps no trailing ones.
        QTest::newRow("Zen")
            << QStringLiteral("Zen")
            << QStringList{"Sklep Łódź", "ul. Długa 5; lok. 2", "", "  NIP 123  ", "x", "y",
                           "z",          "Dziękujemy"}
            << QStringList{"C", "BD", "", "", "B", "D", "CBD", "C"}
            << QStringList{"     Sklep Łódź", "ul. Długa 5; lok. 2", "", "NIP 123", "x", "y",
                           "         z",      "     Dziękujemy"};
        QTest::newRow("Vesper") << QStringLiteral("Vesper")
                                << QStringList{"Sklep Łódź",  "Sklep", "ul. Długa 5; lok. 2",
                                               "  NIP 123  ", "",      "Dziękujemy"}
                                << QStringList{"C", "CD", "B", "", "", "CBD"}
                                << QStringList{"               Sklep Łódź",
                                               "       Sklep",
                                               "ul. Długa 5; lok. 2",
                                               "NIP 123",
                                               "",
                                               "     Dziękujemy"};
    }

    void everythingRoundTripsThroughOnePodFile() {
        QFETCH(QString, type);
        QFETCH(QStringList, typedLines);
        QFETCH(QStringList, flags);
        QFETCH(QStringList, shownLines);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Harness h(type.toUtf8().constData());
        QCOMPARE(h.form->HeaderLineCount(), typedLines.size());

        std::vector<TextGrid> saved;
        for (const TableKind kind : kGridKinds) {
            const kasa::TableDescriptor& table = h.form->Model().Table(kind);
            TextGrid& grid = h.Grid(kind);
            FillRows(grid, table, {1, grid.RowCount() - 1});
            saved.push_back(WithoutUneditedColumns(grid, table));
        }
        for (int n = 1; n <= typedLines.size(); ++n) {
            Edit(*h.form, QStringLiteral("Line%1").arg(n))->setText(typedLines[n - 1]);
            Box(*h.form, "CLine", n)->setChecked(flags[n - 1].contains('C'));
            Box(*h.form, "BLine", n)->setChecked(flags[n - 1].contains('B'));
            Box(*h.form, "DLine", n)->setChecked(flags[n - 1].contains('D'));
        }
        const QStringList rates = {"23", "8", "5", "0", "nakt", "zw", ""};
        for (int i = 0; i < rates.size(); ++i) {
            Edit(*h.form, QStringLiteral("E_Vat") + QChar('A' + i))->setText(rates[i]);
        }

        h.Choose(dir.filePath("wszystko"), kasa::gui::kPodFileFilter);
        h.Trigger("&Zachowaj wszystko do pliku");
        QVERIFY(h.messages.empty());
        QCOMPARE(h.form->ProgressBar()->value(), -1);  // reset once the work is done
        const QByteArray bytes = ReadFile(dir.filePath("wszystko.pod"));
        // The header value: number, centring, double height, bold, then the text whole.
        const QByteArray headerPrefix = type == "Zen" ? "Linja" : "Linia";
        QVERIFY(bytes.contains("[NAGLOWEK]\r\n" + headerPrefix +
                               "1=1;1;0;0;Sklep \xa3\xf3"
                               "d\x9f\r\n"));
        QVERIFY(bytes.contains("[PTU]\r\nPtu1=A;23;AKTYWNA\r\n"));
        QVERIFY(bytes.contains("Ptu5=E;;NIEAKTYWNA\r\nPtu6=F;;ZWOLNIONA\r\n"));

        h.EmptyWindow();
        for (const TableKind kind : kGridKinds) {
            QVERIFY(!HasValues(h.Grid(kind)));
        }
        QVERIFY(Edit(*h.form, "Line1")->text().isEmpty());
        h.Choose(dir.filePath("wszystko.pod"), kasa::gui::kPodFileFilter);
        h.Trigger("&Ładuj wszystko z pliku");
        QVERIFY(h.messages.empty());
        QCOMPARE(h.form->ProgressBar()->value(), -1);

        for (size_t i = 0; i < kGridKinds.size(); ++i) {
            const QString difference = FirstDifference(h.Grid(kGridKinds[i]), saved[i]);
            QVERIFY2(difference.isEmpty(),
                     qPrintable(
                         QString::fromUtf8(h.form->Model().Table(kGridKinds[i]).tableName.data()) +
                         ": " + difference));
        }
        for (int n = 1; n <= typedLines.size(); ++n) {
            QCOMPARE(Edit(*h.form, QStringLiteral("Line%1").arg(n))->text(), shownLines[n - 1]);
            QCOMPARE(Box(*h.form, "CLine", n)->isChecked(), flags[n - 1].contains('C'));
            QCOMPARE(Box(*h.form, "BLine", n)->isChecked(), flags[n - 1].contains('B'));
            QCOMPARE(Box(*h.form, "DLine", n)->isChecked(), flags[n - 1].contains('D'));
        }
        for (int i = 0; i < rates.size(); ++i) {
            QCOMPARE(Edit(*h.form, QStringLiteral("E_Vat") + QChar('A' + i))->text(), rates[i]);
        }
    }

    void loadStatusIsShownUnderTheWindowsCaption_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("minPlu");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("firstName");  // column 1 of row 1 after the load
        QTest::newRow("as many tabs as semicolons")
            << "Vesper" << 1 << "PLU_odczyt"
            << "towary.csv" << QByteArray("Numer\tNazwa;Cena\r\n1;Chleb\t2\r\n")
            << "Brak separatora."
            << "";
        QTest::newRow("record below minPLU skipped")
            << "Vesper" << 100 << "PLU_odczyt"
            << "towary.csv" << QByteArray("Numer;Nazwa\r\n50;Stary\r\n100;Nowy\r\n")
            << "Istnieją rekordy o numerze z poza zakresu\n<100,2300>. Zostały pominięte."
            << "Nowy";
        QTest::newRow("record past the last")
            << "Vesper" << 1 << "PLU_odczyt"
            << "towary.txt" << QByteArray("1\tPierwszy\r\n2301\tZa daleko\r\n")
            << "Plik posiada zbyt dużo linii.\nKasa może mieć tylko 2300 linii.\n"
            << "Pierwszy";
        QTest::newRow("empty file")
            << "Zen" << 1 << "PLU_odczyt"
            << "pusty.csv" << QByteArray() << "Podany plik jest pusty lub nieistnieje"
            << "";
        QTest::newRow("pod record out of range")
            << "Vesper" << 1 << "Kasjer_odczyt"
            << "kasjerzy.pod"
            << QByteArray("[KASJERZY]\r\nKasjer1=1;Ala;1111;0\r\nKasjer2=99;Jan;1234;0\r\n")
            << "Numer wiersza poza zakresem. 99"
            << "Ala";
        QTest::newRow("pod bad row structure")
            << "Zen" << 1 << "Opakowania_odczyt"
            << "opakowania.pod" << QByteArray("[OPAKOWANIA]\r\nOpak1=x;Butelka;0.50\r\n")
            << "Nieprawidłowa struktura wiersza Opak1"
            << "";
    }

    void loadStatusIsShownUnderTheWindowsCaption() {
        QFETCH(QString, type);
        QFETCH(int, minPlu);
        QFETCH(QString, button);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(QString, firstName);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Harness h(type.toUtf8().constData(), minPlu);
        const QString tableName = button.section('_', 0, 0);
        TextGrid& grid = *h.form->Grid(tableName.toStdString());
        grid.SetCell(1, 3, "Stary wpis");  // what the window held is replaced
        WriteFile(dir.filePath(fileName), content);

        const bool pod = fileName.endsWith(".pod");
        h.Choose(dir.filePath(fileName), pod                         ? kasa::gui::kPodFileFilter
                                         : fileName.endsWith(".csv") ? kasa::gui::kCsvFileFilter
                                                                     : kasa::gui::kTxtFileFilter);
        h.Click(button.toUtf8().constData());
        QCOMPARE(h.messages.size(), size_t{1});
        QCOMPARE(h.messages[0].title, std::string(kCaption));
        QCOMPARE(QString::fromStdString(h.messages[0].text), message);
        QCOMPARE(QString::fromStdString(grid.Cell(1, 1)), firstName);
        QCOMPARE(grid.Cell(1, 3), std::string());
        // Titles and record numbers were set up again.
        QCOMPARE(grid.Cell(0, 1), std::to_string(minPlu));
        const kasa::TableDescriptor* table =
            kasa::FindTable(h.form->Model(), tableName.toStdString());
        QCOMPARE(grid.Cell(1, 0), std::string(table->fields[1].title));
    }

    void failedSaveIsShownAndKeepsTheOldFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Harness h("Zen");
        TextGrid& grid = h.Grid(TableKind::kGoods);
        std::vector<int> rows;
        for (int r = 1; r < grid.RowCount(); ++r) {
            rows.push_back(r);
        }
        FillRows(grid, h.form->Model().Table(TableKind::kGoods), rows);

        // A folder that does not exist, for one table and for everything.
        h.Choose(dir.filePath("brak/towary.csv"), kasa::gui::kCsvFileFilter);
        h.Click("PLU_zapis");
        h.Choose(dir.filePath("brak/wszystko.pod"), kasa::gui::kPodFileFilter);
        h.Trigger("&Zachowaj wszystko do pliku");
        QCOMPARE(h.messages.size(), size_t{2});
        for (const Shown& shown : h.messages) {
            QCOMPARE(shown.title, std::string(kCaption));
            QVERIFY2(shown.text.rfind("Nie udało się zapisać pliku ", 0) == 0, shown.text.c_str());
        }
        QVERIFY(!QDir(dir.filePath("brak")).exists());

        // A write cut short (a file size limit stands in for a full disk) keeps the old
        // file whole.
        const QByteArray old = "Numer;Nazwa\r\n1;Stary\r\n";
        WriteFile(dir.filePath("towary.csv"), old);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        h.Choose(dir.filePath("towary.csv"), kasa::gui::kCsvFileFilter);
        h.Click("PLU_zapis");
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, previousHandler);
        QCOMPARE(h.messages.size(), size_t{3});
        QCOMPARE(h.messages[2].title, std::string(kCaption));
        QVERIFY(h.messages[2].text.rfind("Nie udało się zapisać pliku ", 0) == 0);
        QCOMPARE(ReadFile(dir.filePath("towary.csv")), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void dialogsStartAtTheLastFileOfTheirKind() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Harness h("Vesper");
        const QString pod = QString::fromUtf8(kasa::gui::kPodFileFilter);
        const QString csv = QString::fromUtf8(kasa::gui::kCsvFileFilter);
        const QString txt = QString::fromUtf8(kasa::gui::kTxtFileFilter);
        const QStringList allThree = {pod, csv, txt};

        // Nothing used yet: .pod first, no start file.
        h.Choose(dir.filePath("a"), kasa::gui::kCsvFileFilter);
        h.Click("PLU_zapis");
        QVERIFY(h.requests.back().mode == FileDialogMode::kSave);
        QCOMPARE(h.requests.back().caption, QStringLiteral("Zapisz Bazę do pliku"));
        QCOMPARE(h.requests.back().filters, allThree);
        QCOMPARE(h.requests.back().selectedFilter, pod);
        QCOMPARE(h.requests.back().startPath, QString());
        QCOMPARE(h.settings.CsvFile, dir.filePath("a.csv").toStdString());
        QCOMPARE(h.settings.ExtLast, std::string("CSV"));
        QCOMPARE(h.settings.PodFile, std::string());

        // The goods dialog opens at the last CSV file; a cancelled dialog changes nothing.
        h.Grid(TableKind::kGoods).SetCell(1, 5, "Zostaje");
        h.Click("PLU_odczyt");
        QVERIFY(h.requests.back().mode == FileDialogMode::kOpen);
        QCOMPARE(h.requests.back().caption, QStringLiteral("Odczytaj Bazę z pliku"));
        QCOMPARE(h.requests.back().selectedFilter, csv);
        QCOMPARE(h.requests.back().startPath, dir.filePath("a.csv"));
        QCOMPARE(h.Grid(TableKind::kGoods).Cell(1, 5), std::string("Zostaje"));
        QCOMPARE(h.settings.ExtLast, std::string("CSV"));

        // A name with the filter's extension keeps it; the TXT kind is remembered.
        h.Choose(dir.filePath("b.TXT"), kasa::gui::kTxtFileFilter);
        h.Click("PLU_zapis");
        QVERIFY(QFile::exists(dir.filePath("b.TXT")));
        QCOMPARE(h.settings.TxtFile, dir.filePath("b.TXT").toStdString());
        QCOMPARE(h.settings.ExtLast, std::string("TXT"));

        // Other tables offer .pod only, starting at the last .pod file; a name with another
        // extension gets the filter's.
        h.Choose(dir.filePath("k.csv"), kasa::gui::kPodFileFilter);
        h.Click("Kasjer_zapis");
        QCOMPARE(h.requests.back().filters, QStringList{pod});
        QCOMPARE(h.requests.back().selectedFilter, pod);
        QCOMPARE(h.requests.back().startPath, QString());
        QVERIFY(QFile::exists(dir.filePath("k.csv.pod")));
        QCOMPARE(h.settings.PodFile, dir.filePath("k.csv.pod").toStdString());
        QCOMPARE(h.settings.ExtLast, std::string("POD"));

        h.Trigger("&Zachowaj wszystko do pliku");
        QVERIFY(h.requests.back().mode == FileDialogMode::kSave);
        QCOMPARE(h.requests.back().caption, QStringLiteral("Zapis z pliku całościowy."));
        QCOMPARE(h.requests.back().filters, QStringList{pod});
        QCOMPARE(h.requests.back().startPath, dir.filePath("k.csv.pod"));
        h.Trigger("&Ładuj wszystko z pliku");
        QVERIFY(h.requests.back().mode == FileDialogMode::kOpen);
        QCOMPARE(h.requests.back().caption, QStringLiteral("Odczyt z pliku całościowy."));
        QCOMPARE(h.Grid(TableKind::kGoods).Cell(1, 5), std::string("Zostaje"));

        // With .pod last, the goods dialog proposes the last .pod file.
        h.Click("PLU_zapis");
        QCOMPARE(h.requests.back().selectedFilter, pod);
        QCOMPARE(h.requests.back().startPath, dir.filePath("k.csv.pod"));
        QVERIFY(h.messages.empty());
    }

    void existingFileIsReadUnderItsOwnName() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Harness h("Zen");
        WriteFile(dir.filePath("towary"), "Numer;Nazwa\r\n3;Bułka\r\n");
        WriteFile(dir.filePath("towary.csv"), "Numer;Nazwa\r\n4;Inny plik\r\n");
        h.Choose(dir.filePath("towary"), kasa::gui::kCsvFileFilter);
        h.Click("PLU_odczyt");
        QCOMPARE(h.Grid(TableKind::kGoods).Cell(1, 3), std::string("Bułka"));
        QCOMPARE(h.Grid(TableKind::kGoods).Cell(1, 4), std::string());
        QCOMPARE(h.settings.CsvFile, dir.filePath("towary").toStdString());
        QCOMPARE(h.settings.ExtLast, std::string("CSV"));

        // A name that names no file is taken with the filter's extension.
        h.Choose(dir.filePath("towary"), kasa::gui::kCsvFileFilter);
        QVERIFY(QFile::remove(dir.filePath("towary")));
        h.Click("PLU_odczyt");
        QCOMPARE(h.Grid(TableKind::kGoods).Cell(1, 4), std::string("Inny plik"));
        QVERIFY(h.messages.empty());
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
        QCOMPARE(h.messages.size(), size_t{5});
        for (const Shown& shown : h.messages) {
            QCOMPARE(shown.title, std::string(kCaption));
            QCOMPARE(shown.text, std::string(kasa::kBusyMessage));
        }
    }

    void buttonsStayBoundWhenThePagesAreBuiltAgain() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Harness h("Zen");
        for (const char* name : {"Rabat_zapis", "Doplata_odczyt", "Formy_zapis", "Klawisze_odczyt",
                                 "Naglowek_odczyt"}) {
            QVERIFY2(h.form->ControlAs<QPushButton>(name)->isEnabled(), name);
        }
        std::string vesper = "Vesper";
        kasa::ActiveModelSelection().Select(vesper);
        h.EmptyWindow();
        QCOMPARE(h.form->Model().name, kasa::kModelNameVesper);

        // The header page is not built again: its buttons still answer once per click.
        Edit(*h.form, "Line1")->setText("Nagłówek");
        h.Choose(dir.filePath("naglowek"), kasa::gui::kPodFileFilter);
        h.Click("Naglowek_zapis");
        QCOMPARE(h.requests.size(), size_t{1});
        Edit(*h.form, "Line1")->clear();
        h.Choose(dir.filePath("naglowek.pod"), kasa::gui::kPodFileFilter);
        h.Click("Naglowek_odczyt");
        QCOMPARE(h.requests.size(), size_t{2});
        QCOMPARE(Edit(*h.form, "Line1")->text(), QStringLiteral("Nagłówek"));

        // The new table pages' buttons are bound, to the new register type's tables.
        TextGrid& surcharges = h.Grid(TableKind::kSurcharges);
        surcharges.SetCell(1, 1, "Dopłata");
        surcharges.SetCell(3, 1, "2.50");  // "Kwota", a column "Vesper" has
        h.Choose(dir.filePath("doplaty"), kasa::gui::kPodFileFilter);
        h.Click("Doplata_zapis");
        QCOMPARE(h.requests.size(), size_t{3});
        QVERIFY(ReadFile(dir.filePath("doplaty.pod"))
                    .contains("[DOPLATY]\r\nDoplata5=5;Dop\xb3"
                              "ata;;2.50\r\n"));
        QVERIFY(h.messages.empty());
    }

    void goodsFileButtonsCarryTheirHints() {
        Harness h("Zen");
        QCOMPARE(h.form->ControlAs<QPushButton>("PLU_odczyt")->toolTip(),
                 QStringLiteral("Odczyt bazy danych towarów.\nProgram wczytuje kilka formatów.\n1. "
                                "Odczyt z pliku z parametrami *.pod\n2. Odczyt z pliku CSV "
                                "*.csv\n3. Odczyt z pliku tekstowego *.txt\nPliki formatu "
                                "wewnętrznego zawierają wszystkie\ninformacje. Pliki pozostałych "
                                "posiadają tylko\ninformacje najważniejsze. Program dopasowuje "
                                "się\nautomatycznie do znaków separacji ; oraz Tab."));
        QCOMPARE(h.form->ControlAs<QPushButton>("PLU_zapis")->toolTip(),
                 QStringLiteral("Zapis bazy danych towarów.\nProgram zapisuje w 3 formatach:\n1. "
                                "format wewnętrzny - format wewnętrzny programu,\n2. pliki *.csv "
                                "separatorem jest średnik,\n3. pliki *.txt separatorem jest znak "
                                "tabulacji.\n"));
    }

    void tableSetCopiesEveryTableBothWays() {
        Harness h("Zen");
        kasa::TableSet tables = kasa::gui::CollectTableSet(*h.form);
        tables.Grid(TableKind::kKeys).SetCell(1, 2, "17");
        tables.Grid(TableKind::kKeys).SetCell(3, 2, "NIE");
        tables.header[7] = {"Ósma", true, false, true};
        tables.vatRates[6] = "zw";
        kasa::gui::ApplyTableSet(*h.form, tables);
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(1, 2), std::string("17"));
        QCOMPARE(Edit(*h.form, "Line8")->text(), QStringLiteral("Ósma"));
        QVERIFY(Box(*h.form, "CLine", 8)->isChecked());
        QVERIFY(!Box(*h.form, "BLine", 8)->isChecked());
        QVERIFY(Box(*h.form, "DLine", 8)->isChecked());
        QCOMPARE(Edit(*h.form, "E_VatG")->text(), QStringLiteral("zw"));

        const kasa::TableSet back = kasa::gui::CollectTableSet(*h.form);
        QVERIFY(
            FirstDifference(back.Grid(TableKind::kKeys), tables.Grid(TableKind::kKeys)).isEmpty());
        QVERIFY(back.header == tables.header);
        QVERIFY(back.vatRates == tables.vatRates);

        // One table only: the others stay as the window holds them.
        kasa::TableSet keysOnly = kasa::gui::CollectTableSet(*h.form, TableKind::kKeys);
        QCOMPARE(keysOnly.Grid(TableKind::kGoods).RowCount(), 0);
        keysOnly.Grid(TableKind::kKeys).SetCell(1, 2, "18");
        keysOnly.vatRates[6] = "23";
        kasa::gui::ApplyTableSet(*h.form, keysOnly, TableKind::kKeys);
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(1, 2), std::string("18"));
        QCOMPARE(Edit(*h.form, "E_VatG")->text(), QStringLiteral("zw"));

        // A grid of another size is set up for the window's table.
        kasa::TableSet small;
        small.Grid(TableKind::kKeys) = TextGrid(2, 3);
        small.Grid(TableKind::kKeys).SetCell(1, 1, "5");
        kasa::gui::ApplyTableSet(*h.form, small, TableKind::kKeys);
        QCOMPARE(h.Grid(TableKind::kKeys).RowCount(), 21);
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(0, 20), std::string("20"));
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(2, 0), std::string("Ilość"));
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(1, 1), std::string("5"));
        QCOMPARE(h.Grid(TableKind::kKeys).Cell(1, 2), std::string());
    }
};

QTEST_MAIN(TableFileActionsTest)
#include "table_file_actions_test.moc"

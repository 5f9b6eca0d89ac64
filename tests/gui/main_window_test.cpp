// The main window: its controls by name, one page per table of each register type, the
// header lines, the menu, what is bound and what is not, and the way from a grid edit
// to the core grid.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

#include "gui/grid_model.h"
#include "gui/opis_bledow_form.h"
#include "gui/qt_user_interface.h"
#include "gui/tecrform.h"
#include "gui/ustawienie_kasy_form.h"
#include "gui/ustawienie_programu_form.h"
#include "tables/catalogue.h"

using kasa::Answer;
using kasa::Buttons;
using kasa::gui::TECRForm;

namespace {

void SelectType(const char* name) {
    std::string stored = name;
    kasa::ActiveModelSelection().Select(stored);
}

QStringList Captions(QMenu* menu) {
    QStringList captions;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            captions << action->text();
        }
    }
    return captions;
}

// What a table page must show, worked out from the catalogue's numbers.
struct ExpectedTable {
    const char* type;
    const char* table;
    int minPlu;
    int rows;  // grid rows with the title row
    int cols;  // grid columns with the number column
    const char* firstNumber;
    const char* lastNumber;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { SelectType("Vesper"); }

    void windowAndFixedControlsCarryTheirNames() {
        TECRForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Program serwisowy kas"));
        QVERIFY(form.ControlAs<QProgressBar>("Postep") == form.ProgressBar());
        QVERIFY(form.ControlAs<QLabel>("Info") == form.InfoLabel());
        QVERIFY(form.ControlAs<QPushButton>("Komunikacja_Btn") == form.CommunicationButton());
        for (const char* name : {"Kasa", "NrFabryczny", "eClock", "ST_LastPF", "NumerParagonu",
                                 "ZmianyBazy", "AnulowaneParagony", "KwotaAnulowanych"}) {
            QVERIFY2(form.ControlAs<QLabel>(name) != nullptr, name);
        }
        for (const char letter : std::string("ABCDEFG")) {
            const QString l(QLatin1Char{letter});
            QVERIFY(form.ControlAs<QLabel>("Tot_" + l) != nullptr);
            QVERIFY(form.ControlAs<QLabel>("EVat" + l) != nullptr);
            QVERIFY(form.ControlAs<QLineEdit>("E_Vat" + l) != nullptr);
        }
        for (const char* name :
             {"StawkiVAT_odczyt_kasa", "StawkiVAT_zapis_kasa", "All", "Naglowek_odczyt_kasa",
              "Naglowek_zapis_kasa", "Naglowek_formatuj"}) {
            auto* button = form.ControlAs<QPushButton>(name);
            QVERIFY2(button != nullptr, name);
            QVERIFY2(!button->isEnabled(), name);
        }
        QCOMPARE(form.ControlAs<QPushButton>("All")->text(), QStringLiteral("Odczytaj\nwszystko"));
        // Names are found whatever their case, as the handlers write them in either.
        QVERIFY(form.Control("postep") == form.ProgressBar());
        QVERIFY(form.Control("NoSuchControl") == nullptr);
    }

    void statusFlagsAreDisabledBoxesWithCaptions() {
        TECRForm form;
        const std::pair<const char*, const char*> flags[] = {{"ST_ErrorRS", "Error RS"},
                                                             {"ST_Fiscal", "Fiskalny"},
                                                             {"ST_Grosze", "grosze"},
                                                             {"ST_Trasmit", "Transmisja"},
                                                             {"ST_Online", "Online"}};
        for (const auto& [name, caption] : flags) {
            auto* box = form.ControlAs<QCheckBox>(name);
            QVERIFY2(box != nullptr, name);
            QCOMPARE(box->text(), QString::fromUtf8(caption));
            QVERIFY(!box->isEnabled());
        }
        QVERIFY(form.InformationPage()->isAncestorOf(form.Control("ST_Online")));
        QVERIFY(form.InformationPage()->isAncestorOf(form.Control("E_VatG")));
    }

    void communicationButtonCaptionsAndColours() {
        TECRForm form;
        QPushButton* button = form.CommunicationButton();
        QCOMPARE(button->text(), QStringLiteral("Start\nkomunikacji"));
        QCOMPARE(button->palette().color(QPalette::Active, QPalette::ButtonText),
                 QColor(0, 128, 0));
        form.SetCommunicationStarted(true);
        QCOMPARE(button->text(), QStringLiteral("Stop\nkomunikacji"));
        QCOMPARE(button->palette().color(QPalette::Active, QPalette::ButtonText),
                 QColor(255, 0, 0));
        // New fonts keep the caption's colour.
        form.ApplyFonts(kasa::gui::DefaultFonts());
        QCOMPARE(button->palette().color(QPalette::Active, QPalette::ButtonText),
                 QColor(255, 0, 0));
        form.SetCommunicationStarted(false);
        QCOMPARE(button->text(), QStringLiteral("Start\nkomunikacji"));
    }

    void everyTablePageFollowsTheCatalogue() {
        const ExpectedTable expected[] = {
            {"Vesper", "PLU", 1000, 1302, 11, "1000", "2300"},
            {"Vesper", "PLU", 1, 2301, 11, "1", "2300"},
            {"Zen", "PLU", 1, 2637, 7, "1", "2636"},
            {"Zen", "PLU", 5000, 1638, 7, "1000", "2636"},  // minPLU kept within 1..1000
            {"Vesper", "Opakowania", 1, 16, 6, "1", "15"},
            {"Zen", "Opakowania", 1, 16, 3, "1", "15"},
            {"Vesper", "Klawisze", 1, 21, 4, "1", "20"},
            {"Zen", "Klawisze", 1, 21, 4, "1", "20"},
            {"Vesper", "Kasjer", 1, 9, 28, "1", "8"},
            {"Zen", "Kasjer", 1, 9, 14, "1", "8"},
            {"Vesper", "Rabat", 1, 5, 4, "1", "4"},
            {"Zen", "Rabat", 1, 5, 3, "1", "4"},
            {"Vesper", "Doplata", 1, 5, 4, "5", "8"},
            {"Zen", "Doplata", 1, 5, 3, "5", "8"},
            {"Vesper", "Formy", 1, 9, 4, "1", "8"},
            {"Zen", "Formy", 1, 5, 2, "1", "4"},
        };
        for (const ExpectedTable& e : expected) {
            const QByteArray what = QByteArray(e.type) + " " + e.table;
            SelectType(e.type);
            TECRForm form;
            form.RebuildTables(e.minPlu);
            kasa::TextGrid* grid = form.Grid(e.table);
            QVERIFY2(grid != nullptr, what);
            QCOMPARE(grid->RowCount(), e.rows);
            QCOMPARE(grid->ColCount(), e.cols);
            auto* view = form.ControlAs<QTableView>(QString::fromUtf8(e.table) + "_T");
            QVERIFY2(view != nullptr, what);
            QVERIFY(view == form.GridView(e.table));
            QAbstractItemModel* model = view->model();
            QCOMPARE(model->rowCount(), e.rows - 1);
            QCOMPARE(model->columnCount(), e.cols - 1);
            QCOMPARE(model->headerData(0, Qt::Vertical).toString(), QString(e.firstNumber));
            QCOMPARE(model->headerData(e.rows - 2, Qt::Vertical).toString(), QString(e.lastNumber));

            // Titles, edit controls and row buttons from the table's descriptor.
            const kasa::TableDescriptor* table = kasa::ActiveModelSelection().FindTable(e.table);
            QVERIFY2(table != nullptr, what);
            for (int col = 1; col < table->FieldCount(); ++col) {
                const kasa::FieldDescriptor& field = table->fields[static_cast<size_t>(col)];
                QCOMPARE(model->headerData(col - 1, Qt::Horizontal).toString().toStdString(),
                         std::string(field.title));
            }
            int editControls = 0;
            for (const kasa::FieldDescriptor& field : table->fields) {
                if (field.editName.empty()) {
                    continue;
                }
                const QString name =
                    QString::fromUtf8(e.table) + "_" +
                    QString::fromUtf8(field.editName.data(),
                                      static_cast<qsizetype>(field.editName.size()));
                QWidget* control = form.Control(name);
                QVERIFY2(control != nullptr, qPrintable(name));
                QVERIFY(control == form.EditControl(e.table, field.editName));
                switch (field.editName[0]) {
                    case 'b':
                        QVERIFY2(qobject_cast<QComboBox*>(control) != nullptr, qPrintable(name));
                        QCOMPARE(qobject_cast<QComboBox*>(control)->count(), 7);
                        break;
                    case 'c':
                        QVERIFY2(qobject_cast<QCheckBox*>(control) != nullptr, qPrintable(name));
                        break;
                    default:
                        QVERIFY2(qobject_cast<QLineEdit*>(control) != nullptr, qPrintable(name));
                }
                ++editControls;
            }
            QVERIFY(editControls >= 2);
            for (const char* suffix : {"_pozycja_dodaj", "_pozycja_kasuj", "_pozycja_modyfikuj",
                                       "_pozycja_usun", "_pozycja_odczyt", "_odczyt", "_zapis"}) {
                auto* button = form.ControlAs<QPushButton>(QString::fromUtf8(e.table) + suffix);
                QVERIFY2(button != nullptr, what + suffix);
                QVERIFY2(!button->isEnabled(), what + suffix);
            }
            QVERIFY(form.Control(QString::fromUtf8(e.table) + "_edycja") != nullptr);
            QVERIFY(form.Control(QString::fromUtf8(e.table) + "_button") != nullptr);
        }
    }

    void registerButtonsBelongToTheirTables() {
        TECRForm form;
        for (const char* table : {"PLU", "Opakowania", "Klawisze", "Kasjer", "Rabat", "Formy"}) {
            for (const char* suffix : {"_odczyt_kasa", "_zapis_kasa", "_kasuj"}) {
                QVERIFY2(form.ControlAs<QPushButton>(QString(table) + suffix) != nullptr,
                         QByteArray(table) + suffix);
            }
        }
        // Surcharges travel with the discounts' buttons.
        QVERIFY(form.Control("Doplata_zapis_kasa") == nullptr);
        for (const char* name :
             {"PLU_odczyt_zakres_kasa", "PLU_zapis_zakres_kasa", "PLU_zapis_zaznaczenie",
              "PLU_odczyt_zaznaczenie", "PLU_drukuj", "Kasjer_drukuj"}) {
            QVERIFY2(form.ControlAs<QPushButton>(name) != nullptr, name);
        }
        QCOMPARE(form.ControlAs<QPushButton>("PLU_zapis_zaznaczenie")->text(),
                 QStringLiteral("Zapisz zaznaczone wiersze do Kasy"));
        // The derived-value panels exist where the type keeps those columns.
        QVERIFY(form.Control("PLU_przelicz_baze") != nullptr);
        QVERIFY(form.Control("Opakowania_przelicz_baze") != nullptr);
        SelectType("Zen");
        form.RebuildTables(1);
        QVERIFY(form.Control("PLU_przelicz_baze") == nullptr);
        QVERIFY(form.Control("Opakowania_przelicz_baze") == nullptr);
    }

    void headerShowsTheTypesLineCount() {
        const std::pair<const char*, int> types[] = {{"Zen", 8}, {"Vesper", 6}};
        TECRForm form;
        for (const auto& [type, lines] : types) {
            SelectType(type);
            form.RebuildTables(1);
            QCOMPARE(form.HeaderLineCount(), lines);
            for (int n = 1; n <= TECRForm::kHeaderLineEdits; ++n) {
                for (const char* prefix : {"Line", "CLine", "BLine", "DLine"}) {
                    QWidget* control = form.Control(prefix + QString::number(n));
                    QVERIFY(control != nullptr);
                    QCOMPARE(!control->isHidden(), n <= lines);
                }
            }
            QVERIFY(form.Control("Line1") == form.EditControl("Naglowek", "Line1"));
        }
        QCOMPARE(form.Tabs()->tabText(form.Tabs()->indexOf(form.Control("Naglowek_strona"))),
                 QStringLiteral("Nagłówek"));
    }

    void changingTheTypeRebuildsAndClears() {
        TECRForm form;
        form.GridModelOf("PLU")->setData(form.GridModelOf("PLU")->index(0, 0),
                                         QStringLiteral("Chleb"));
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

    void menuHasEveryItem() {
        TECRForm form;
        const std::vector<std::pair<QString, QStringList>> menus = {
            {"&Plik",
             {"&Ładuj wszystko z pliku", "&Zachowaj wszystko do pliku",
              "Odczyt &wszystkich danych z kasy", "Odczyt &danych bez PLU", "&Koniec"}},
            {"&Serwis",
             {"&Start/Stop komunikacji", "&Pobierz informacje kasowe", "&Odczyt Pamieci Fiskalnej",
              "Odczy&t zegara", "Programuj ze&gar"}},
            {"&Konfiguracja", {"&Programu", "&Kasy", "&Drukowania"}},
            {"P&LU",
             {"&Sprawdź unikalność nazwy", "Skróć &nazwy", "&Mnożnik cen", "Sortuj &A do Z",
              "Sortuj &Z do A", "&Kompaktuj", "&Usuń znak + w kodach kreskowych",
              "&Weryfikacja sumy EAN13", "Ustaw sumę &EAN13", "Weryfikacja unikalności EA&N13",
              "&Drukuj tabelę PLU"}},
            {"&Dodatki",
             {"We&ryfikacja dokumentu", "Podg&ląd trasmisji", "&Porty szeregowe",
              "Pamięć &fiskalna", "&Kody błędów", "&Wysyłanie plików", "Edytor &SEQ",
              "Edytor &BIN"}},
        };
        const QList<QAction*> top = form.menuBar()->actions();
        QCOMPARE(top.size(), static_cast<qsizetype>(menus.size()));
        for (size_t i = 0; i < menus.size(); ++i) {
            QCOMPARE(top[static_cast<qsizetype>(i)]->text(), menus[i].first);
            QCOMPARE(Captions(top[static_cast<qsizetype>(i)]->menu()), menus[i].second);
        }
        QCOMPARE(form.MenuAction("&Start/Stop komunikacji")->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(form.MenuAction("Podg&ląd trasmisji")->toolTip(),
                 QStringLiteral("Wywołanie okna podsłuchu transmisji. Cała transmisja do kasy "
                                "jest wyświetlana w tym oknie."));
        QCOMPARE(form.MenuAction("&Kompaktuj")->toolTip(),
                 QStringLiteral("Dosunięcie wierszy z nazwami towaru tak, aby nie było pustych "
                                "miejsc."));
    }

    void onlyBoundItemsAreEnabled() {
        TECRForm form;
        const QStringList bound = {"&Koniec", "&Programu", "&Kasy", "&Kody błędów"};
        int disabled = 0;
        for (QAction* top : form.menuBar()->actions()) {
            for (QAction* item : top->menu()->actions()) {
                if (item->isSeparator()) {
                    continue;
                }
                QCOMPARE(item->isEnabled(), bound.contains(item->text()));
                disabled += item->isEnabled() ? 0 : 1;
            }
        }
        QCOMPARE(disabled, 28);

        int started = 0;
        form.BindAction("Odczy&t zegara", [&] { ++started; });
        QAction* clock = form.MenuAction("Odczy&t zegara");
        QVERIFY(clock->isEnabled());
        clock->trigger();
        QCOMPARE(started, 1);
        int clicked = 0;
        form.BindButton("Komunikacja_Btn", [&] { ++clicked; });
        QVERIFY(form.CommunicationButton()->isEnabled());
        QTest::mouseClick(form.CommunicationButton(), Qt::LeftButton);
        QCOMPARE(clicked, 1);
    }

    void koniecStopsARunningJobInsteadOfClosing() {
        TECRForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        bool running = true;
        int stopRequests = 0;
        form.SetRunningJobStop([&] {
            ++stopRequests;
            return running;
        });
        QSignalSpy closing(&form, &TECRForm::aboutToClose);
        form.MenuAction("&Koniec")->trigger();
        QCOMPARE(stopRequests, 1);
        QVERIFY(form.isVisible());
        QCOMPARE(closing.count(), 0);

        running = false;
        form.MenuAction("&Koniec")->trigger();
        QCOMPARE(stopRequests, 2);
        QVERIFY(!form.isVisible());
        QCOMPARE(closing.count(), 1);
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
        QCOMPARE(form.findChildren<kasa::gui::TOpisBledowForm*>().size(), 1);
        QCOMPARE(form.findChildren<kasa::gui::TUstawienieKasyForm*>().size(), 1);
        QCOMPARE(form.ErrorCodesWindow()->windowTitle(), QStringLiteral("Opis błędów"));
    }

    void gridEditReachesTheCoreGridAndLaysItOut() {
        TECRForm form;
        form.RebuildTables(1000);
        kasa::gui::GridModel* model = form.GridModelOf("PLU");
        QTableView* view = form.GridView("PLU");
        const int pointSize = kasa::gui::PointSizeOf(view->font());
        QCOMPARE(pointSize, 12);
        QCOMPARE(view->columnWidth(0), 5 * pointSize);  // "Nazwa"

        // Row 3 of the view is goods number 1003.
        QVERIFY(model->setData(model->index(3, 0), QStringLiteral("Żurek śląski 0,5")));
        QCOMPARE(form.Grid("PLU")->Cell(1, 4), std::string("Żurek śląski 0,5"));
        QCOMPARE(form.Grid("PLU")->Cell(0, 4), std::string("1003"));
        QCOMPARE(view->columnWidth(0), 16 * pointSize);
        QCOMPARE(view->rowHeight(3), 2 * pointSize);
        QCOMPARE(view->verticalHeader()->width(), 5 * pointSize);  // "Numer"

        // Changes made by the core reach the view once announced.
        form.Grid("PLU")->SetCell(6, 2, "12.50");
        model->CellsChanged(6, 2, 6, 2);
        QCOMPARE(model->data(model->index(1, 5)).toString(), QStringLiteral("12.50"));
    }

    void tableFontSetsTheLayout() {
        TECRForm form;
        kasa::gui::FontSet fonts = kasa::gui::DefaultFonts();
        fonts.table.size = 9;
        form.ApplyFonts(fonts);
        QTableView* view = form.GridView("Kasjer");
        QCOMPARE(view->font().pointSize(), 9);
        QCOMPARE(view->rowHeight(0), 18);
        QCOMPARE(view->columnWidth(0), 13 * 9);  // "Nazwa kasjera"
        // Discounts and surcharges follow too.
        QCOMPARE(form.GridView("Doplata")->rowHeight(0), 18);
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
        QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(0, 255, 0));
        QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 100);

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

    void startGuardHoldsForTwoSeconds() {
        TECRForm form;
        QCOMPARE(form.StartGuardTimer()->objectName(), QStringLiteral("Timer2"));
        QCOMPARE(form.StartGuardTimer()->interval(), 2000);
        QCOMPARE(form.ClockTimer()->objectName(), QStringLiteral("TClock"));
        QCOMPARE(form.ClockTimer()->interval(), 1000);
        QVERIFY(!form.ClockTimer()->isActive());

        QVERIFY(form.TryTakeStartGuard());
        QVERIFY(!form.TryTakeStartGuard());
        QElapsedTimer elapsed;
        elapsed.start();
        form.ReleaseStartGuardLater();
        QTest::qWait(500);
        QVERIFY(!form.TryTakeStartGuard());
        QTRY_VERIFY_WITH_TIMEOUT(!form.StartGuardTaken(), 4000);
        QVERIFY(elapsed.elapsed() >= 1900);
        QVERIFY(form.TryTakeStartGuard());
        QVERIFY(!form.StartGuardTimer()->isActive());
    }

    void userInterfaceDrivesTheWindowsBarAndLabel() {
        TECRForm form;
        std::vector<std::string> titles;
        form.Ui().SetAnswerProvider([&](const std::string& title, const std::string&, Buttons) {
            titles.push_back(title);
            return Answer::Ok;
        });
        form.Ui().SetProgress(30, 120);
        QCOMPARE(form.ProgressBar()->maximum(), 120);
        QCOMPARE(form.ProgressBar()->value(), 30);
        form.Ui().SetStatusText("Kasowanie bazy PLU");
        QCOMPARE(form.InfoLabel()->text(), QStringLiteral("Kasowanie bazy PLU"));
        form.Ui().Message(form.windowTitle().toStdString(), "Baza była pusta.\n");
        QCOMPARE(titles, std::vector<std::string>{"Program serwisowy kas"});
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

// The table buttons against a virtual register on a pseudo-terminal: whole tables read and
// written, the goods on the worker thread with the busy guard and the abort button, and the
// window closed while the worker runs.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>
#include <chrono>

#include "gui/dialogs/ustawienie_programu_form.h"
#include "gui/editors/tlisting_form.h"
#include "gui/event_loop_pause.h"
#include "gui/program_harness.h"
#include "gui/tables/backups_form.h"
#include "gui/tables/grid_model.h"
#include "gui/tables/transfer_actions.h"

using kasa::testing::Letters;
using kasa::testing::Program;

namespace {

// A "Vesper" register with its demo shop, paced at `baud` (0: as fast as it can).
std::unique_ptr<kasa::sim::VirtualRegister> StartRegister(int baud) {
    kasa::sim::VirtualRegisterOptions options;
    options.baudRate = baud;
    auto reg = std::make_unique<kasa::sim::VirtualRegister>(options);
    return reg->Start() ? std::move(reg) : nullptr;
}

std::string ConfigFor(const kasa::sim::VirtualRegister& reg) {
    return "[USTAWIENIA]\r\nPortName=" + reg.PortPath() +
           "\r\nChashPath=Vesper\r\nbaudRate=115200\r\nErrorMax=200\r\n";
}

QPushButton* Button(Program& p, const char* name) {
    return p.form->ControlAs<QPushButton>(QString::fromLatin1(name));
}

// Selects grid rows first..last (grid rows) of the goods view.
void SelectGoodsRows(Program& p, int first, int last) {
    QTableView* view = p.form->GridView("PLU");
    QAbstractItemModel* model = view->model();
    view->selectionModel()->select(
        QItemSelection(model->index(first - 1, 0), model->index(last - 1, 0)),
        QItemSelectionModel::ClearAndSelect);
}

}  // namespace

class TransferActionsTest : public QObject {
    Q_OBJECT

  private slots:
    void smallTablesAreWrittenOnlyAfterValidationAndReadBack() {
        auto reg = StartRegister(0);
        QVERIFY(reg);
        Program p(false, ConfigFor(*reg));
        p.controller->Show();
        kasa::TextGrid& packaging = *p.form->Grid("Opakowania");
        packaging.SetCell(1, 2, "Skrzynka");
        packaging.SetCell(2, 2, "12,5,0");
        reg->ClearReceived();
        Button(p, "Opakowania_zapis_kasa")->click();
        QCOMPARE(p.form->ListingWindow()->Mode(), 4);
        QVERIFY(Letters(*reg).find('@') == std::string::npos);

        packaging.SetCell(2, 2, "12.50");
        p.form->ListingWindow()->Ponow();
        QVERIFY2(p.shown.empty(), p.shown.empty() ? "" : p.shown[0].text.c_str());
        {
            auto lock = reg->Lock();
            QCOMPARE(reg->State().Record(0, 2).at(0), std::string("Skrzynka"));
        }
        // Read back into an emptied grid: the register's copy comes in.
        packaging.ClearValues();
        Button(p, "Opakowania_odczyt_kasa")->click();
        QCOMPARE(p.form->Grid("Opakowania")->Cell(1, 2), std::string("Skrzynka"));
        QCOMPARE(p.form->Grid("Opakowania")->Cell(2, 2), std::string("12.50"));
        QVERIFY(!p.controller->busy);
    }

    // The worker reads the selected rows while the window keeps handling its events; the
    // longest pause of a 5 ms timer is printed for the record.
    // A small table's transfer waits for the register off the window's thread: a click
    // made while it waits is answered at once (refused as busy) rather than queued behind
    // it, and a register that fell silent ends the read after three rows.
    void smallTableTransferLeavesTheWindowResponsive() {
        auto reg = StartRegister(0);
        QVERIFY(reg);
        Program p(false, ConfigFor(*reg));
        p.controller->Show();
        Button(p, "Klawisze_odczyt_kasa")->click();  // the register is known from now on
        QVERIFY2(p.shown.empty(), p.shown.empty() ? "" : p.shown[0].text.c_str());
        p.controller->Ecr().answerTimeout = 100;
        reg->InjectFault({kasa::sim::FaultKind::NoAnswer, 0, 0, 1, 0});
        p.answer = kasa::Answer::Yes;
        bool clickedWhileBusy = false;
        QTimer::singleShot(10, [&] {
            clickedWhileBusy = p.controller->busy;
            Button(p, "Kasjer_odczyt_kasa")->click();
        });
        EventLoopPause pause;
        Button(p, "Klawisze_odczyt_kasa")->click();
        pause.Report("small table read");
        QVERIFY(clickedWhileBusy);
        QVERIFY(!p.controller->busy);
        const auto busy = std::find_if(p.shown.begin(), p.shown.end(), [](const auto& s) {
            return s.text == std::string(kasa::kBusyMessage);
        });
        QVERIFY(busy != p.shown.end());
        QVERIFY(!p.shown.empty());
        const std::string& report = p.shown.back().text;
        QVERIFY2(report.find("wykryto błąd w wierszu 3.") != std::string::npos, report.c_str());
        QVERIFY2(report.find(kasa::kReadFailedMessage) != std::string::npos, report.c_str());
    }

    // A write from the window keeps the register's old records in a backup before it sends
    // them and, with "Sprawdzaj zapis odczytem", reads back what it sent.
    void aWriteKeepsABackupAndReadsBackWhenAsked() {
        auto reg = StartRegister(0);
        QVERIFY(reg);
        Program p(false, ConfigFor(*reg));
        p.controller->Show();
        // "Sprawdzaj zapis odczytem" in the program settings, off until ticked.
        kasa::gui::TECRForm::ShowToolWindow(&p.SettingsWindow());
        QCheckBox* readBack = p.SettingsWindow().ReadBackBox();
        QCOMPARE(readBack->text(), QStringLiteral("Sprawdzaj zapis odczytem"));
        QVERIFY(!readBack->isChecked());
        readBack->click();
        QVERIFY(p.controller->SaveSettings());
        QVERIFY(p.folder.Read("config.cfg").find("SprawdzajZapis=1") != std::string::npos);
        Button(p, "Opakowania_odczyt_kasa")->click();
        kasa::TextGrid& packaging = *p.form->Grid("Opakowania");
        QCOMPARE(packaging.Cell(1, 2), std::string("Skrzynka"));
        packaging.SetCell(1, 2, "Skrzynka duża");
        Button(p, "Opakowania_zapis_kasa")->click();
        QVERIFY2(p.shown.empty(), p.shown.empty() ? "" : p.shown[0].text.c_str());
        const QString info = p.Label("Info");
        QCOMPARE(info, QStringLiteral(
                           "Zapisano w kasie tabelę Opakowania. Kopia i odczyt kontrolny: OK."));
        const QDir kopie(QString::fromStdString(p.folder.Path("kopie")));
        const QStringList files = kopie.entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QFile backup(kopie.filePath(files[0]));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        const QByteArray text = backup.readAll();
        QVERIFY2(text.contains("[OPAKOWANIA]\r\n"), text.constData());
        QVERIFY2(text.contains("=2;Skrzynka;"), text.constData());
        auto lock = reg->Lock();
        QCOMPARE(reg->State().Record(0, 2).at(0), std::string("Skrzynka duża"));
    }

    // "Plik / Kopie przed zapisem…" lists the backup a write left, and "Przywróć" puts the
    // register back as it was, leaving a backup of its own.
    void aBackupIsListedAndRestoredFromTheWindow() {
        auto reg = StartRegister(0);
        QVERIFY(reg);
        Program p(false, ConfigFor(*reg));
        p.controller->Show();
        Button(p, "Opakowania_odczyt_kasa")->click();
        kasa::TextGrid& packaging = *p.form->Grid("Opakowania");
        packaging.SetCell(1, 2, "Skrzynka duża");
        packaging.SetCell(2, 2, "12.50");
        Button(p, "Opakowania_zapis_kasa")->click();
        std::vector<std::string> written;
        {
            auto lock = reg->Lock();
            written = reg->State().Record(0, 2);
        }
        QCOMPARE(written.at(0), std::string("Skrzynka duża"));

        p.form->MenuAction(QStringLiteral("Kopie przed &zapisem…"))->trigger();
        kasa::gui::TKopieForm& backups = p.controller->Backups();
        QVERIFY(backups.isVisible());
        QCOMPARE(backups.Entries().size(), size_t{1});
        QCOMPARE(backups.Entries()[0].table, std::string("OPAKOWANIA"));
        QCOMPARE(backups.Entries()[0].records, 1);
        QCOMPARE(backups.Table()->item(0, 3)->text(), QStringLiteral("1"));

        p.answer = kasa::Answer::Yes;
        backups.Przywroc();
        QVERIFY2(p.shown.size() == 1, p.shown.empty() ? "" : p.shown.back().text.c_str());
        QVERIFY2(p.shown[0].text.find("Tabele: Opakowania.") != std::string::npos,
                 p.shown[0].text.c_str());
        {
            auto lock = reg->Lock();
            QCOMPARE(reg->State().Record(0, 2).at(0), std::string("Skrzynka"));
            QCOMPARE(reg->State().Record(0, 2).at(1), std::string("10.00"));
        }
        QCOMPARE(p.Label("Info"),
                 QStringLiteral("Przywrócono w kasie rekordy z kopii. Kopia: Plik / Kopie."));
        QCOMPARE(backups.Entries().size(), size_t{2});
        // The grid keeps what the user has in it.
        QCOMPARE(packaging.Cell(1, 2), std::string("Skrzynka duża"));
    }

    void goodsReadRunsBesideTheWindow() {
        auto reg = StartRegister(115200);
        QVERIFY(reg);
        Program p(false, ConfigFor(*reg));
        p.controller->Show();
        SelectGoodsRows(p, 1, 40);
        EventLoopPause pause;
        Button(p, "PLU_odczyt_zaznaczenie")->click();
        QVERIFY(p.controller->busy);
        QCOMPARE(Button(p, "PLU_odczyt_zakres_kasa")->text(), QStringLiteral("Przerwij odczyt"));
        // A second operation is refused while the worker runs.
        Button(p, "Kasjer_odczyt_kasa")->click();
        QCOMPARE(p.shown.size(), size_t{1});
        QCOMPARE(p.shown[0].text, std::string(kasa::kBusyMessage));
        QTRY_VERIFY_WITH_TIMEOUT(!p.controller->busy, 10000);
        pause.Report("goods range read");
        QCOMPARE(p.form->Grid("PLU")->Cell(1, 1), std::string("Chleb żytni"));
        QCOMPARE(p.form->Grid("PLU")->Cell(1, 15), std::string("Mąka pszenna"));
        QCOMPARE(Button(p, "PLU_odczyt_zakres_kasa")->text(),
                 QStringLiteral("Odczyt zakresu z Kasy"));
        QCOMPARE(p.form->ProgressBar()->value(), p.form->ProgressBar()->minimum() - 1);
        QCOMPARE(p.Label("Info"), QStringLiteral("Odczytano z kasy tabelę PLU."));
    }

    // A code a spreadsheet shortened is shown in the listing and asked about: No sends
    // nothing, and "Ponów" with Yes writes.
    void shortenedCodesAreAskedAboutBeforeTheGoodsWrite() {
        auto reg = StartRegister(0);
        QVERIFY(reg);
        Program p(false, ConfigFor(*reg));
        p.controller->Show();
        kasa::TextGrid& goods = *p.form->Grid("PLU");
        goods.SetCell(1, 1, "Mleko");
        goods.SetCell(2, 1, "12345678905");
        goods.SetCell(3, 1, "A");
        goods.SetCell(6, 1, "2.50");
        reg->ClearReceived();
        p.answer = kasa::Answer::No;
        Button(p, "PLU_zapis_kasa")->click();
        QVERIFY(!p.controller->busy);
        QCOMPARE(p.shown.size(), size_t{1});
        QVERIFY2(p.shown[0].text.ends_with("Zapisać kody do kasy bez zmian?"),
                 p.shown[0].text.c_str());
        QListWidget* list = p.form->ListingWindow()->List();
        QVERIFY(list != nullptr);
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(),
                 QStringLiteral("PLU: Kod 12345678905 w wierszu 1 wygląda na kod EAN-13 bez zer "
                                "wiodących (0012345678905)."));
        QVERIFY(Letters(*reg).find('E') == std::string::npos);

        p.answer = kasa::Answer::Yes;
        p.form->ListingWindow()->Ponow();
        QTRY_VERIFY_WITH_TIMEOUT(!p.controller->busy, 10000);
        QVERIFY(Letters(*reg).find('E') != std::string::npos);
        auto lock = reg->Lock();
        QCOMPARE(reg->State().Record(7, 1).at(0), std::string("Mleko"));
    }

    void theStartingButtonAbortsTheGoodsWrite() {
        auto reg = StartRegister(115200);
        QVERIFY(reg);
        Program p(false, ConfigFor(*reg));
        p.controller->Show();
        kasa::TextGrid& goods = *p.form->Grid("PLU");
        for (int row = 1; row <= 200; ++row) {
            goods.SetCell(1, row, "Towar " + std::to_string(row));
            goods.SetCell(3, row, "A");
            goods.SetCell(6, row, "1.00");
        }
        QPushButton* write = Button(p, "PLU_zapis_kasa");
        write->click();
        QVERIFY(p.controller->busy);
        QCOMPARE(write->text(), QStringLiteral("Przerwij zapis"));
        QTRY_VERIFY_WITH_TIMEOUT(Letters(*reg).find('E') != std::string::npos, 5000);
        write->click();
        QTRY_VERIFY_WITH_TIMEOUT(!p.controller->busy, 10000);
        QCOMPARE(write->text(), QStringLiteral("Zapis do Kasy"));
        // The records changed before the abort are kept, and the Info says where.
        QCOMPARE(p.Label("Info"),
                 QStringLiteral("Przerwano operację na tabeli PLU. Kopia: Plik / Kopie."));
        const std::string letters = Letters(*reg);
        const auto written = std::count(letters.begin(), letters.end(), 'E');
        QVERIFY2(written > 0 && written < 200, QByteArray::number(qlonglong(written)));
    }

    // Closing the window during a job asks the job to stop and keeps the window open, in
    // its place, until it has; then the window closes without a report.
    void closingTheWindowStopsTheWorker() {
        auto reg = StartRegister(115200);
        QVERIFY(reg);
        Program p(false, ConfigFor(*reg));
        p.controller->Show();
        reg->ClearReceived();
        Button(p, "PLU_odczyt_kasa")->click();
        QVERIFY(p.controller->busy);
        // Closed at once, before the worker may even have begun, and once it reads.
        p.form->close();
        QVERIFY(p.form->isVisible());
        QCOMPARE(p.Label("Info"), QString::fromUtf8(kasa::gui::TECRForm::kClosingAfterJobText));
        QTRY_VERIFY_WITH_TIMEOUT(!p.form->isVisible(), 10000);
        QVERIFY(!p.controller->busy);
        QCOMPARE(p.controller->Transfers().Running(), kasa::BackgroundOperation::kNone);
        QVERIFY(p.shown.empty());  // no report once the window closes
        // It stopped long before the 2300 records of the table.
        QVERIFY2(Letters(*reg).size() < 100, Letters(*reg).c_str());
    }

    // A background job leaves the window where it was: its close box stays (taking it away
    // makes the system build the window anew, which loses its place and state).
    void aBackgroundJobLeavesTheWindowInPlace() {
        auto reg = StartRegister(115200);
        QVERIFY(reg);
        Program p(false, ConfigFor(*reg));
        p.controller->Show();
        const QRect before = p.form->geometry();
        const Qt::WindowFlags flags = p.form->windowFlags();
        const WId window = p.form->winId();
        SelectGoodsRows(p, 1, 40);
        Button(p, "PLU_odczyt_zaznaczenie")->click();
        QVERIFY(p.controller->busy);
        QCOMPARE(p.form->windowFlags(), flags);
        QTRY_VERIFY_WITH_TIMEOUT(!p.controller->busy, 10000);
        QCOMPARE(p.form->windowFlags(), flags);
        QCOMPARE(p.form->winId(), window);
        QCOMPARE(p.form->geometry(), before);
        QVERIFY(p.form->isVisible());
    }
};

QTEST_MAIN(TransferActionsTest)
#include "transfer_actions_test.moc"

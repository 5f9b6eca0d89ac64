// The window's user interface: Polish message boxes, the progress bar and label, and
// calls from a worker thread handed to the window's thread in order.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <thread>

#include "app/table_transfer.h"
#include "gui/main/qt_user_interface.h"

using kasa::Answer;
using kasa::Buttons;
using kasa::gui::QtUserInterface;

namespace {

// Presses, in the message box that opens next, the button with caption `press` (or
// Escape when there is none), after noting the box's title and button captions.
void PressWhenShown(const QString& press, QString* title, QStringList* captions,
                    QMessageBox::Icon* icon = nullptr, QString* preferred = nullptr) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            PressWhenShown(press, title, captions, icon, preferred);
            return;
        }
        *title = box->windowTitle();
        if (icon != nullptr) {
            *icon = box->icon();
        }
        if (preferred != nullptr) {
            *preferred = box->defaultButton() != nullptr ? box->defaultButton()->text() : QString();
        }
        for (QAbstractButton* button : box->buttons()) {
            captions->append(button->text());
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == press) {
                button->click();
                return;
            }
        }
        QTest::keyClick(box, Qt::Key_Escape);
    });
}

}  // namespace

class QtUserInterfaceTest : public QObject {
    Q_OBJECT

  private slots:
    void boxesSpeakPolish_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("answer");
        QTest::newRow("yes no cancel")
            << int(Buttons::YesNoCancel) << QStringList{"Tak", "Nie", "Anuluj"} << "Anuluj"
            << int(Answer::Cancel);
        // Escape answers what does nothing.
        QTest::newRow("yes no closed")
            << int(Buttons::YesNo) << QStringList{"Tak", "Nie"} << "(none)" << int(Answer::No);
        QTest::newRow("ok cancel closed") << int(Buttons::OkCancel) << QStringList{"OK", "Anuluj"}
                                          << "(none)" << int(Answer::Cancel);
    }

    void boxesSpeakPolish() {
        QFETCH(int, buttons);
        QFETCH(QStringList, captions);
        QFETCH(QString, press);
        QFETCH(int, answer);
        QWidget window;
        QtUserInterface ui(&window, nullptr, nullptr);
        QString title;
        QStringList shown;
        PressWhenShown(press, &title, &shown);
        const Answer got =
            ui.Ask("Ważna uwaga wyboru Kasy!", "Kontynuować?", static_cast<Buttons>(buttons));
        QCOMPARE(int(got), answer);
        QCOMPARE(title, QStringLiteral("Ważna uwaga wyboru Kasy!"));
        std::sort(shown.begin(), shown.end());
        std::sort(captions.begin(), captions.end());
        QCOMPARE(shown, captions);
    }

    // Enter on a question that erases data answers "Nie"; on any other question "Tak".
    void erasingQuestionsDefaultToNo_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("preferred");
        QTest::newRow("cashier write")
            << QString::fromUtf8(kasa::kCashierWriteQuestion) << int(Buttons::YesNo) << "Nie";
        QTest::newRow("failed row")
            << QStringLiteral(
                   "Podczas transmisji wykryto błąd w wierszu 12.\nBrak odpowiedzi "
                   "kasy.\nChcesz kontunyować?")
            << int(Buttons::YesNo) << "Nie";
        QTest::newRow("table delete")
            << QStringLiteral(
                   "Kontynuacja spowoduje skasowanie w kasie bazy PLU\nChcesz "
                   "kontynuować?")
            << int(Buttons::YesNo) << "Nie";
        QTest::newRow("register type")
            << QStringLiteral(
                   "Dalsza kontynuacja spowoduje wykasowanie wszystkich danych\noraz "
                   "sformatowanie i zdefiniowanie ponowne wszystkich tabel.")
            << int(Buttons::OkCancel) << "Anuluj";
        QTest::newRow("upgrade") << QStringLiteral("Dostępna jest nowsza wersja programu.")
                                 << int(Buttons::YesNo) << "Tak";
        QTest::newRow("save file")
            << QStringLiteral("Zapisać do pliku\n/tmp/a.seq") << int(Buttons::OkCancel) << "OK";
    }

    void erasingQuestionsDefaultToNo() {
        QFETCH(QString, text);
        QFETCH(int, buttons);
        QFETCH(QString, preferred);
        QWidget window;
        QtUserInterface ui(&window, nullptr, nullptr);
        QString title;
        QStringList shown;
        QString shownDefault;
        PressWhenShown("(none)", &title, &shown, nullptr, &shownDefault);
        ui.Ask("Program serwisowy kas", text.toStdString(), static_cast<Buttons>(buttons));
        QCOMPARE(shownDefault, preferred);
    }

    void failuresWarnAndNoticesInform() {
        QtUserInterface ui(nullptr, nullptr, nullptr);
        QString title;
        QStringList shown;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        PressWhenShown("OK", &title, &shown, &icon);
        ui.Message("Program serwisowy kas", "Nie można zapisać stawek VAT.");
        QCOMPARE(shown, QStringList{"OK"});
        QCOMPARE(icon, QMessageBox::Warning);
        PressWhenShown("OK", &title, &shown, &icon);
        ui.Notice("Program serwisowy kas", "Wpis autostartu utworzono.");
        QCOMPARE(icon, QMessageBox::Information);
    }

    void progressAndStatus() {
        QProgressBar bar;
        QLabel info;
        QtUserInterface ui(nullptr, &bar, &info);
        ui.SetProgress(5, 20);
        QCOMPARE(bar.maximum(), 20);
        QCOMPARE(bar.value(), 5);
        ui.SetProgress(25, 20);  // past the end stays at the end
        QCOMPARE(bar.value(), 20);
        ui.SetProgress(3, 0);  // maximum 0 resets
        QCOMPARE(bar.value(), bar.minimum() - 1);
        ui.SetStatusText("Kasowanie bazy Opakowania");
        QCOMPARE(info.text(), QStringLiteral("Kasowanie bazy Opakowania"));
        QSignalSpy lines(&ui, &QtUserInterface::logLine);
        ui.LogLine("<COM1><,> Zapytanie: [x1B]P0N81[x1B]\\");
        QCOMPARE(lines.count(), 1);
        QCOMPARE(lines.at(0).at(0).toString(),
                 QStringLiteral("<COM1><,> Zapytanie: [x1B]P0N81[x1B]\\"));
    }

    void outcomeLeavesInfoAfterItsTime() {
        QLabel info;
        QtUserInterface ui(nullptr, nullptr, &info);
        ui.ShowOutcome("Zapisano stawki VAT w kasie.", 50);
        QCOMPARE(info.text(), QStringLiteral("Zapisano stawki VAT w kasie."));
        QTRY_COMPARE(info.text(), QString());
        // A text put there by something else meanwhile stays.
        ui.ShowOutcome("Odczytano zegar kasy.", 50);
        ui.SetStatusText("Odczyt PLU");
        QTest::qWait(100);
        QCOMPARE(info.text(), QStringLiteral("Odczyt PLU"));
    }

    void workerCallsReachTheWindowThreadInOrder() {
        QProgressBar bar;
        QLabel info;
        QtUserInterface ui(nullptr, &bar, &info);
        QSignalSpy lines(&ui, &QtUserInterface::logLine);
        QThread* windowThread = QThread::currentThread();
        bool askedOnWindowThread = false;
        QString statusWhenAsked;
        int progressWhenAsked = -5;
        qsizetype linesWhenAsked = -1;
        ui.SetAnswerProvider([&](const std::string&, const std::string&, Buttons) {
            askedOnWindowThread = QThread::currentThread() == windowThread;
            statusWhenAsked = info.text();
            progressWhenAsked = bar.value();
            linesWhenAsked = lines.count();
            return Answer::No;
        });

        std::atomic<bool> done{false};
        Answer answer = Answer::Ok;
        std::thread worker([&] {
            ui.SetStatusText("pierwszy");
            ui.SetProgress(1, 10);
            ui.LogLine("linia");
            ui.SetStatusText("drugi");
            ui.SetProgress(7, 10);
            ui.ProcessPendingMessages();  // nothing to pump here
            answer = ui.Ask("T", "Chcesz kontynuować?", Buttons::YesNo);
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 5000);
        worker.join();
        QCOMPARE(answer, Answer::No);
        QVERIFY(askedOnWindowThread);
        // Everything the worker did before the question was shown before it.
        QCOMPARE(statusWhenAsked, QStringLiteral("drugi"));
        QCOMPARE(progressWhenAsked, 7);
        QCOMPARE(linesWhenAsked, qsizetype{1});
    }
};

QTEST_MAIN(QtUserInterfaceTest)
#include "qt_user_interface_test.moc"

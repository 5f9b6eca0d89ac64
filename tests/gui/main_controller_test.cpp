// The program as a whole: first start, settings kept between runs, communication with
// the built-in virtual register and the window's register operations.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <iterator>

#include "base/key_value_file.h"
#include "gui/checked_items.h"
#include "gui/dialogs/ustawienie_kasy_form.h"
#include "gui/dialogs/ustawienie_programu_form.h"
#include "gui/editors/tlisting_form.h"
#include "gui/event_loop_pause.h"
#include "gui/main/main_controller.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/program_harness.h"
#include "sim/virtual_register.h"
#include "support/recording_ui.h"
#include "support/scratch_folder.h"

using kasa::Answer;
using kasa::Buttons;
using kasa::gui::MainController;
using kasa::gui::TECRForm;
using kasa::testing::Letters;
using kasa::testing::Program;
using kasa::testing::gui::ListItemText;
using Shown = kasa::testing::ShownMessage;

class MainControllerTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartWithoutConfig();
    void settingsRoundTrip();
    void demoStartFillsTheInformationGroup();
    void clockVatAndRegisterSettingsThroughTheWindows();
    void koniecDuringAJobOnlyRaisesTheStopFlag();
    void settingsWindowShowsTheSessionsTypeAndWritesBackOnlyChanges();
    void demoGivesWayToAPortPickedInTheSettings();
    void silentRegisterEndsTheStartAtOnceAndShowsWhy();
    void aFaultyWriteIsListedAndSentOnlyAfterPonow();
    void modyfikujWritesTheRecordOnlyOnceItPasses();
    void weryfikacjaListsFaultsAndNormalisesPasswords();
    void eanCheckCaptionsFollowWhatItFound();
};

void MainControllerTest::firstStartWithoutConfig() {
    Program p;
    const QSize designed = p.form->size();
    p.controller->Show();
    // In the screen's top-left corner with its title bar on the screen.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(area.contains(p.form->frameGeometry()));
    QVERIFY(p.form->geometry().top() > area.top());
    // The designed size, shrunk to a smaller screen.
    // The designed size, shrunk to a smaller screen with room for the frame.
    QVERIFY(p.form->width() <= designed.width() && p.form->height() <= designed.height());
    // No port: the settings window opens and nothing is sent.
    QVERIFY(p.form->ProgramSettingsWindow()->isVisible());
    QVERIFY(!p.form->CommunicationStarted());
    QVERIFY(p.shown.empty());
    QVERIFY(p.controller->BuiltInRegister() == nullptr);
    // The table file commands are bound in the running program.
    QTRY_VERIFY(p.form->ControlAs<QPushButton>(QStringLiteral("PLU_zapis"))->isEnabled());
    QVERIFY(p.form->MenuAction(QStringLiteral("&Zachowaj wszystko do pliku"))->isEnabled());
}

void MainControllerTest::settingsRoundTrip() {
    Program p(false,
              "[USTAWIENIA]\r\nMainTop=40\r\nMainLeft=30\r\nMainWidth=700\r\n"
              "MainHeight=500\r\nminPLU=5000\r\nFiscalFile=/tmp/fm.log\r\nFiscalTop=60\r\n"
              "FiscalLeft=40\r\nFiscalWidth=500\r\nFiscalHeight=300\r\nFiscalShowing=1\r\n");
    p.controller->Show();
    QCOMPARE(p.form->MinPlu(), 1000);
    QCOMPARE(p.form->geometry(), QRect(30, 40, 700, 500));
    // The listing that was open at the end opens again where it was; the others stay shut.
    kasa::gui::TListingForm* fiscal = p.form->FiscalListingWindow();
    QVERIFY(fiscal->isVisible() && !p.form->ListingWindow()->isVisible());
    QCOMPARE(fiscal->geometry(), QRect(40, 60, 500, 300));
    fiscal->resize(450, 280);
    fiscal->Zamknij();
    p.form->setGeometry(50, 60, 1310, 710);
    QVERIFY(p.controller->SaveSettings());
    kasa::KeyValueFile saved{kasa::LiteralFileName{}, p.folder.Path("config.cfg")};
    QCOMPARE(saved.ReadInteger("USTAWIENIA", "MainWidth"), 1310);
    QCOMPARE(saved.ReadInteger("USTAWIENIA", "MainTop"), 60);
    QCOMPARE(saved.ReadInteger("USTAWIENIA", "FiscalWidth"), 450);
    QCOMPARE(saved.ReadInteger("USTAWIENIA", "FiscalShowing"), 0);
    QCOMPARE(saved.ReadString("USTAWIENIA", "FiscalFile"), std::string("/tmp/fm.log"));
}

void MainControllerTest::demoStartFillsTheInformationGroup() {
    Program p(true);
    p.controller->Show();
    QVERIFY2(p.form->CommunicationStarted(), p.shown.empty() ? "" : p.shown[0].text.c_str());
    QVERIFY(p.controller->BuiltInRegister() != nullptr);
    QCOMPARE(p.SettingsWindow().Values().portName, std::string(kasa::gui::kVirtualRegisterPort));
    QCOMPARE(p.form->CommunicationButton()->text(), QStringLiteral("Stop\nkomunikacji"));
    QCOMPARE(p.Label("Kasa"), QStringLiteral("VESPER"));
    QCOMPARE(p.Label("NrFabryczny"), QStringLiteral("1402 2.15"));
    QVERIFY(p.Label("ST_LastPF").startsWith(QStringLiteral("Ostatni zapis ")));
    // The session's mode 3 has bit 0 set.
    QVERIFY(p.form->ControlAs<QCheckBox>(QStringLiteral("ST_ErrorRS"))->isChecked());
    QCOMPARE(p.Label("Tot_A"), QStringLiteral("0.00 zł"));
    QCOMPARE(p.Label("EVatE"), QStringLiteral("zw."));
    QVERIFY(p.Label("eClock").size() == 19);
    QVERIFY(p.form->ClockTimer()->isActive());
    QVERIFY(!p.controller->Ecr().IsOpen());  // the start closes the port
    QVERIFY(p.shown.empty());

    // A click within the start guard's two seconds is ignored and sends nothing.
    const size_t before = p.controller->BuiltInRegister()->ReceivedPayloads().size();
    p.controller->StartStopClicked(false);
    QVERIFY(p.form->CommunicationStarted());
    QCOMPARE(p.controller->BuiltInRegister()->ReceivedPayloads().size(), before);
    // Stop after it: the mode goes back and the end frame is sent.
    p.WaitForGuard();
    p.controller->StartStopClicked(false);
    QVERIFY(!p.form->CommunicationStarted());
    QCOMPARE(p.form->CommunicationButton()->text(), QStringLiteral("Start\nkomunikacji"));
    auto lock = p.controller->BuiltInRegister()->Lock();
    QVERIFY(p.controller->BuiltInRegister()->State().endFrameSeen);
}

void MainControllerTest::clockVatAndRegisterSettingsThroughTheWindows() {
    Program p(true);
    p.controller->Show();
    QVERIFY(p.form->CommunicationStarted());
    kasa::sim::VirtualRegister& reg = *p.controller->BuiltInRegister();

    p.form->MenuAction(QStringLiteral("Odczy&t zegara"))->trigger();
    QVERIFY(p.Label("eClock").startsWith(QString::number(QDate::currentDate().year())));
    QCOMPARE(p.Label("Info"), QStringLiteral("Odczytano zegar kasy."));
    const size_t sent = reg.ReceivedPayloads().size();
    p.form->MenuAction(QStringLiteral("Programuj ze&gar"))->trigger();
    QVERIFY(p.shown.empty());
    QVERIFY(reg.ReceivedPayloads().size() > sent);

    const char* rates[] = {"22", "8", "5", "0", "ZW", "nakt", "Nakt"};
    for (int i = 0; i < 7; ++i) {
        p.form->ControlAs<QLineEdit>(QStringLiteral("E_Vat") + QChar('A' + i))
            ->setText(QString::fromLatin1(rates[i]));
    }
    p.form->ControlAs<QPushButton>(QStringLiteral("StawkiVAT_zapis_kasa"))->click();
    QVERIFY(p.shown.empty());
    // The rates the register held before are kept in a backup, named in Info.
    QCOMPARE(p.Label("Info"), QStringLiteral("Zapisano stawki VAT w kasie. Kopia: Plik / Kopie."));
    // "W kasie" shows the written rates at once (the register started with 23 % in A).
    QCOMPARE(p.Label("EVatA"), QStringLiteral("22%"));
    QCOMPARE(p.Label("EVatB"), QStringLiteral("8%"));
    QCOMPARE(p.Label("EVatE"), QStringLiteral("zw."));
    QCOMPARE(p.Label("EVatG"), QStringLiteral("nakt"));
    {
        auto lock = reg.Lock();
        QCOMPARE(reg.State().vatRates[0], 22.0);
        QCOMPARE(reg.State().vatRates[4], -2.0);
    }
    p.form->ControlAs<QPushButton>(QStringLiteral("StawkiVAT_odczyt_kasa"))->click();
    QCOMPARE(p.Label("EVatA"), QStringLiteral("22%"));

    auto* settings = p.form->RegisterSettingsWindow();
    const auto lists = settings->findChildren<QComboBox*>();
    QVERIFY(lists.size() >= 5);
    for (QComboBox* list : lists) {
        list->setCurrentIndex(1);
    }
    emit settings->sendRequested();
    QVERIFY2(p.shown.empty(), p.shown.empty() ? "" : p.shown[0].text.c_str());
    auto lock = reg.Lock();
    QCOMPARE(reg.State().optionBits, 7);
}

void MainControllerTest::koniecDuringAJobOnlyRaisesTheStopFlag() {
    Program p;
    p.controller->Show();
    p.controller->busy = true;
    p.form->MenuAction(QStringLiteral("&Koniec"))->trigger();
    QVERIFY(p.form->isVisible());
    QVERIFY(p.controller->Ecr().abortRequested);
    p.controller->busy = false;
    p.form->MenuAction(QStringLiteral("&Koniec"))->trigger();
    QTRY_VERIFY(!p.form->isVisible());
    QVERIFY(p.folder.Exists("config.cfg"));  // closing saved the settings
}

void MainControllerTest::settingsWindowShowsTheSessionsTypeAndWritesBackOnlyChanges() {
    kasa::sim::VirtualRegister reg;  // a "Vesper" register
    QVERIFY(reg.Start());
    Program p(false, "[USTAWIENIA]\r\nPortName=" + reg.PortPath() +
                         "\r\nChashPath=Zen\r\nbaudRate=115200\r\nHintHidePause=7000\r\n");
    p.controller->Show();  // the session switches the program to "Vesper"
    QVERIFY(p.form->CommunicationStarted());
    QCOMPARE(p.Label("Info"), QStringLiteral("Połączono z kasą VESPER."));
    // The pages built for the new type keep the hint display time.
    QCOMPARE(p.form->GridView("PLU")->toolTipDuration(), 7000);

    kasa::gui::TUstawienieProgramuForm& window = p.SettingsWindow();
    p.form->MenuAction(QStringLiteral("&Programu"))->trigger();
    QCOMPARE(window.TypeList()->currentText(), QStringLiteral("Vesper"));
    const int fast = window.SpeedList()->findText(QStringLiteral("38400"));
    window.SpeedList()->setCurrentIndex(fast);
    emit window.SpeedList()->activated(fast);
    QCOMPARE(p.controller->Ecr().ConfiguredBaudRate(), 38400);  // the transport has it at once
    QVERIFY(p.controller->SaveSettings());
    kasa::KeyValueFile saved{kasa::LiteralFileName{}, p.folder.Path("config.cfg")};
    QCOMPARE(QString::fromStdString(saved.ReadString("USTAWIENIA", "ChashPath")).toUpper(),
             QStringLiteral("VESPER"));
    QCOMPARE(saved.ReadInteger("USTAWIENIA", "baudRate"), 38400);
}

void MainControllerTest::demoGivesWayToAPortPickedInTheSettings() {
    kasa::sim::VirtualRegisterOptions zen;
    zen.type = kasa::sim::RegisterType::Zen;
    kasa::sim::VirtualRegister reg(zen);
    QVERIFY(reg.Start());
    Program p(true);
    p.controller->Show();
    QVERIFY(p.form->CommunicationStarted());
    QVERIFY(p.controller->BuiltInRegister() != nullptr);
    p.WaitForGuard();
    p.controller->StartStopClicked(false);
    QCOMPARE(p.Label("Info"), QStringLiteral("Zakończono komunikację z kasą."));

    p.form->MenuAction(QStringLiteral("&Programu"))->trigger();
    p.SettingsWindow().PortPathEdit()->setText(QString::fromStdString(reg.PortPath()));
    emit p.SettingsWindow().PortPathEdit()->editingFinished();
    QVERIFY(p.controller->BuiltInRegister() == nullptr);
    QCOMPARE(p.controller->Ecr().ConfiguredPortName(), reg.PortPath());
    p.WaitForGuard();
    p.controller->StartStopClicked(false);  // the type question is answered OK
    QVERIFY(p.form->CommunicationStarted());
    QCOMPARE(p.Label("Kasa"), QStringLiteral("ZEN-FV"));
    QVERIFY(!reg.ReceivedPayloads().empty());
    QVERIFY(p.controller->BuiltInRegister() == nullptr);

    // The fiscal box reaches the clock command: a fiscal ZEN is refused and nothing is sent.
    p.form->ControlAs<QCheckBox>(QStringLiteral("ST_Fiscal"))->setChecked(true);
    const size_t sent = reg.ReceivedPayloads().size();
    const size_t told = p.shown.size();
    p.form->MenuAction(QStringLiteral("Programuj ze&gar"))->trigger();
    QCOMPARE(p.shown.size(), told + 1);
    QVERIFY(p.shown.back().text.find("tylko w trybie niefiskalnym") != std::string::npos);
    QCOMPARE(reg.ReceivedPayloads().size(), sent);
}

void MainControllerTest::silentRegisterEndsTheStartAtOnceAndShowsWhy() {
    kasa::sim::VirtualRegister reg;
    QVERIFY(reg.Start());
    for (int i = 0; i < 8; ++i) {
        reg.InjectFault({kasa::sim::FaultKind::NoAnswer, 0});
    }
    {
        Program p(false, "[USTAWIENIA]\r\nPortName=" + reg.PortPath() + "\r\n");
        p.controller->Ecr().answerTimeout = 200;
        QString infoAtMessage;
        bool busyCursorAtMessage = false;
        p.form->Ui().SetAnswerProvider(
            [&](const std::string& title, const std::string& text, Buttons) {
                p.shown.push_back({title, text});
                infoAtMessage = p.Label("Info");
                busyCursorAtMessage = QApplication::overrideCursor() != nullptr &&
                                      QApplication::overrideCursor()->shape() == Qt::WaitCursor;
                return Answer::Ok;
            });
        p.controller->Show();
        QCOMPARE(p.shown.size(), size_t{1});
        QVERIFY(p.shown[0].text.starts_with("Nie można przeczytać informacji z kasy."));
        QCOMPARE(infoAtMessage, QStringLiteral("Łączenie z kasą..."));
        QVERIFY(busyCursorAtMessage);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(p.Label("Info"), QString());
        QCOMPARE(reg.ReceivedPayloads().size(), size_t{1});  // the status request alone
        // No clock was read: none is shown and none runs on.
        QCOMPARE(p.Label("eClock"), QString());
        QVERIFY(!p.form->ClockTimer()->isActive());
        // Started again from the shown window, the wait leaves its event loop running.
        p.WaitForGuard();
        EventLoopPause pause;
        p.controller->StartStopClicked(false);
        pause.Report("connect to a silent register");
        QCOMPARE(p.shown.size(), size_t{2});
    }
    // Closing sent nothing more: no session was started with the silent register.
    QCOMPARE(reg.ReceivedPayloads().size(), size_t{2});
}

void MainControllerTest::aFaultyWriteIsListedAndSentOnlyAfterPonow() {
    Program p(true);
    p.controller->Show();
    kasa::sim::VirtualRegister& reg = *p.controller->BuiltInRegister();
    reg.ClearReceived();
    auto* rateA = p.form->ControlAs<QLineEdit>(QStringLiteral("E_VatA"));
    rateA->setText(QStringLiteral("1000"));
    p.form->ControlAs<QPushButton>(QStringLiteral("StawkiVAT_zapis_kasa"))->click();

    kasa::gui::TListingForm* listing = p.form->ListingWindow();
    QVERIFY(listing->isVisible());
    QCOMPARE(listing->Mode(), 14);
    QCOMPARE(listing->Heading()->text(),
             QStringLiteral("WERYFIKACJA STAWEK VAT PRZED ZAPISEM DO KASY"));
    QCOMPARE(listing->CaptionLabel(0)->text(), QStringLiteral("Wykryty błąd:"));
    QCOMPARE(listing->List()->count(), 1);
    QCOMPARE(listing->List()->item(0)->text(),
             QStringLiteral("StawkiVAT: 1000 w wierszu 1 określa stawkę VAT i może być liczbą "
                            "XX.X lub nakt lub zw."));
    QVERIFY(Letters(reg).find('Z') == std::string::npos);

    rateA->setText(QStringLiteral("22"));
    listing->Ponow();
    QVERIFY(!listing->isVisible());
    QVERIFY(Letters(reg).find('Z') != std::string::npos);
    auto lock = reg.Lock();
    QCOMPARE(reg.State().vatRates[0], 22.0);
}

void MainControllerTest::modyfikujWritesTheRecordOnlyOnceItPasses() {
    Program p(true);
    p.controller->Show();
    kasa::sim::VirtualRegister& reg = *p.controller->BuiltInRegister();
    reg.ClearReceived();
    p.form->ControlAs<QLineEdit>(QStringLiteral("PLU_eNumer"))->setText(QStringLiteral("3"));
    p.form->ControlAs<QLineEdit>(QStringLiteral("PLU_eNazwa"))->setText(QStringLiteral("Żurek"));
    auto* price = p.form->ControlAs<QLineEdit>(QStringLiteral("PLU_ecena"));
    price->setText(QStringLiteral("1,2,3"));
    auto* modify = p.form->ControlAs<QPushButton>(QStringLiteral("PLU_pozycja_modyfikuj"));
    QVERIFY(modify->isEnabled());
    modify->click();
    kasa::gui::TListingForm* listing = p.form->ListingWindow();
    QVERIFY(listing->isVisible());
    QCOMPARE(listing->Mode(), 3);
    QCOMPARE(listing->CaptionLabel(1)->text(), QStringLiteral("Wykryto błąd w wybranym wierszu."));
    QCOMPARE(ListItemText(listing->List(), 0),
             QStringLiteral("PLU: 1,2,3 w miejscu 3 6 może być tylko liczbą z zakresu "
                            "[0..999 999,99]."));
    QVERIFY(Letters(reg).find('E') == std::string::npos);

    price->setText(QStringLiteral("3.50"));
    modify->click();
    QVERIFY(!listing->isVisible());
    QVERIFY2(p.shown.empty(), p.shown.empty() ? "" : p.shown[0].text.c_str());
    QCOMPARE(p.Label("Info"), QStringLiteral("Zapisano w kasie rekord 3."));
    auto lock = reg.Lock();
    QCOMPARE(reg.State().Record(7, 3).at(0), std::string("Żurek"));
}

void MainControllerTest::weryfikacjaListsFaultsAndNormalisesPasswords() {
    Program p;
    p.controller->Show();
    kasa::TextGrid& cashiers = *p.form->Grid("Kasjer");
    cashiers.SetCell(1, 2, "Ala");
    cashiers.SetCell(2, 2, "ffff");
    kasa::TextGrid& goods = *p.form->Grid("PLU");
    goods.SetCell(1, 1, "Chleb");
    goods.SetCell(3, 1, "Z");
    p.form->ControlAs<QPushButton>(QStringLiteral("Weryfikacja"))->click();

    kasa::gui::TListingForm* listing = p.form->ListingWindow();
    QVERIFY(listing->isVisible());
    QCOMPARE(listing->Mode(), 0);
    QStringList lines;
    for (int i = 0; i < listing->List()->count(); ++i) {
        lines << listing->List()->item(i)->text();
    }
    QVERIFY2(lines.contains(QStringLiteral("PLU: Z w miejscu 1 3 określa stawkę VAT i może być "
                                           "tylko literą A B C D E F G.")),
             qPrintable(lines.join('|')));
    QCOMPARE(cashiers.Cell(2, 2), std::string("nakt"));
}

QTEST_MAIN(MainControllerTest)
// The EAN-13 verification writes nothing: with nothing wrong its listing says so, and
// never that a faulty table cannot be written.
void MainControllerTest::eanCheckCaptionsFollowWhatItFound() {
    Program p;
    p.controller->Show();
    kasa::gui::TListingForm* listing = p.form->ListingWindow();
    const auto caption = [listing](int n) {
        return listing->findChild<QLabel*>(QStringLiteral("Etykieta%1").arg(n))->text();
    };
    kasa::TextGrid& goods = *p.form->Grid("PLU");
    goods.SetCell(1, 1, "Chleb");
    goods.SetCell(2, 1, "5901234123457");
    p.form->MenuAction(QStringLiteral("&Weryfikacja sumy EAN13"))->trigger();
    QVERIFY(listing->isVisible());
    QCOMPARE(listing->List()->count(), 0);
    QCOMPARE(caption(1), QString());
    QCOMPARE(caption(2), QStringLiteral("Nie wykryto błędów."));
    QCOMPARE(caption(3), QString());
    QCOMPARE(caption(4), QString());

    goods.SetCell(2, 1, "5901234123458");
    p.form->MenuAction(QStringLiteral("&Weryfikacja sumy EAN13"))->trigger();
    QCOMPARE(listing->List()->count(), 1);
    QCOMPARE(caption(1), QStringLiteral("Wykryty błąd:"));
    QCOMPARE(caption(2), QStringLiteral("Sprawdzanie zakończone: wykryto błędy (1)."));
    QCOMPARE(caption(3), QString());
}

#include "main_controller_test.moc"

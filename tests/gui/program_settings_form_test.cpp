// The program settings window: values in and out, the register type question, the
// lowest PLU number, the switches, the port list, start with the system and the fonts.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/communication_session.h"
#include "gui/checked_items.h"
#include "gui/dialogs/ustawienie_programu_form.h"
#include "support/recording_ui.h"

using kasa::Answer;
using kasa::Buttons;
using kasa::PortEntry;
using namespace kasa::gui;

using kasa::testing::gui::LastItem;
using RecordingUi = kasa::testing::RecordingUserInterface;

class ProgramSettingsFormTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheValuesItIsGiven() {
        RecordingUi ui;
        TUstawienieProgramuForm form(ui);
        ProgramSettingsValues values;
        values.registerType = "zen";
        values.baudRate = 19200;
        values.minPlu = 250;
        values.hint = true;
        values.function = true;
        form.SetValues(values);
        QCOMPARE(form.TypeList()->currentIndex(), 0);
        QCOMPARE(form.SpeedList()->currentText(), QStringLiteral("19200"));
        QCOMPARE(form.MinPluEdit()->text(), QStringLiteral("250"));
        // The boxes say "shown": they are the settings' "off" switches negated.
        QVERIFY(!form.SwitchBox(1)->isChecked());
        QVERIFY(form.SwitchBox(2)->isChecked());
        QVERIFY(!form.SwitchBox(3)->isChecked());
        QVERIFY(form.SwitchBox(4)->isChecked());

        values.registerType = "";
        form.SetValues(values);
        QCOMPARE(form.TypeList()->currentIndex(), 0);  // the first when none is set
        values.registerType = "VESPER";
        form.SetValues(values);
        QCOMPARE(form.TypeList()->currentIndex(), 1);
        QVERIFY(ui.messages.empty() && ui.questions.empty());
    }

    void switchesWriteTheirNegation() {
        RecordingUi ui;
        TUstawienieProgramuForm form(ui);
        form.SetValues({});
        form.show();
        QSignalSpy changed(&form, &TUstawienieProgramuForm::valuesChanged);
        QTest::mouseClick(form.SwitchBox(2), Qt::LeftButton);
        QVERIFY(form.Values().edit);
        QTest::mouseClick(form.SwitchBox(4), Qt::LeftButton);
        QVERIFY(form.Values().balonHint);
        QTest::mouseClick(form.SwitchBox(2), Qt::LeftButton);
        QVERIFY(!form.Values().edit);
        QVERIFY(!form.Values().hint);
        QCOMPARE(changed.count(), 3);
    }

    void typeChangeAsksAndCancelRestores() {
        RecordingUi ui;
        TUstawienieProgramuForm form(ui);
        ProgramSettingsValues values;
        values.registerType = "Vesper";
        form.SetValues(values);
        QSignalSpy typeChanged(&form, &TUstawienieProgramuForm::registerTypeChanged);

        ui.answers = {Answer::Cancel};
        form.TypeList()->setCurrentIndex(0);
        emit form.TypeList()->activated(0);
        QCOMPARE(ui.questions.size(), size_t{1});
        QCOMPARE(ui.buttons, std::vector<Buttons>{Buttons::OkCancel});
        QCOMPARE(ui.questions[0].text, kasa::RegisterTypeChangeWarning("Zen", "Vesper", "OFFLINE"));
        QCOMPARE(form.Values().registerType, std::string("Vesper"));
        QCOMPARE(form.TypeList()->currentIndex(), 1);
        QCOMPARE(typeChanged.count(), 0);

        ui.answers = {Answer::Ok};
        form.TypeList()->setCurrentIndex(0);
        emit form.TypeList()->activated(0);
        QCOMPARE(form.Values().registerType, std::string("Zen"));
        QCOMPARE(typeChanged.count(), 1);
        QCOMPARE(typeChanged.at(0).at(0).toString(), QStringLiteral("Zen"));
    }

    void lowestPluNumberTellsWhenItTakesEffect() {
        RecordingUi ui;
        TUstawienieProgramuForm form(ui);
        form.SetValues({});
        form.show();
        QLineEdit* edit = form.MinPluEdit();

        edit->setText(QStringLiteral("1000"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(form.Values().minPlu, 1000);
        QCOMPARE(ui.messages.size(), size_t{1});
        QCOMPARE(ui.messages[0].text, std::string("Przesunięcie numeru początkowego PLU\n"
                                                  "wykona sie po ponownym uruchomieniu programu."));

        edit->setText(QStringLiteral("500"));
        QTest::mouseClick(form.MinPluButton(), Qt::LeftButton);
        QCOMPARE(form.Values().minPlu, 500);
        QCOMPARE(ui.messages.size(), size_t{2});
        QCOMPARE(ui.messages[1].text, std::string("Przesunięcie numeru początkowego PLU\n"
                                                  "wykona sie po ponownym uruchomieniu\n"
                                                  "Programu Serwisowego."));

        // The same number again, or one outside 1..1000, changes nothing and says nothing.
        QTest::mouseClick(form.MinPluButton(), Qt::LeftButton);
        edit->setText(QStringLiteral("0"));
        QTest::mouseClick(form.MinPluButton(), Qt::LeftButton);
        QCOMPARE(edit->text(), QStringLiteral("500"));
        QCOMPARE(form.Values().minPlu, 500);
        QCOMPARE(ui.messages.size(), size_t{2});
    }

    void portsListedWithTheVirtualRegisterFirst() {
        RecordingUi ui;
        TUstawienieProgramuForm form(ui);
        form.SetPortLister([] {
            return std::vector<PortEntry>{
                {"/dev/serial/by-id/usb-Korvex_Vesper-if00", "(/dev/ttyUSB0)"},
                {"/dev/ttyS0", "(port szeregowy)"},
                {"/dev/ttyUSB0", "(przejściówka USB)"},
            };
        });
        ProgramSettingsValues values;
        values.portName = "/dev/ttyUSB0";
        form.SetValues(values);
        form.RefreshPorts();
        QComboBox* list = form.PortList();
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->itemText(0), QStringLiteral("Kasa wirtualna"));
        QCOMPARE(list->itemText(2), QStringLiteral("/dev/ttyS0 (port szeregowy)"));
        // The device itself, not the link that mentions it.
        QCOMPARE(list->currentIndex(), 3);

        QSignalSpy port(&form, &TUstawienieProgramuForm::portChanged);
        emit list->activated(1);
        QCOMPARE(form.Values().portName, std::string("/dev/serial/by-id/usb-Korvex_Vesper-if00"));
        QCOMPARE(form.PortPathEdit()->text(),
                 QStringLiteral("/dev/serial/by-id/usb-Korvex_Vesper-if00"));
        emit list->activated(0);
        QCOMPARE(form.Values().portName, std::string(kVirtualRegisterPort));
        QCOMPARE(port.count(), 2);

        // Any path can be typed.
        form.PortPathEdit()->setText(QStringLiteral("  /dev/pts/7 "));
        emit form.PortPathEdit()->editingFinished();
        QCOMPARE(form.Values().portName, std::string("/dev/pts/7"));
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(port.count(), 3);
        // An emptied field keeps the port.
        form.PortPathEdit()->clear();
        emit form.PortPathEdit()->editingFinished();
        QCOMPARE(form.Values().portName, std::string("/dev/pts/7"));
        QCOMPARE(form.PortPathEdit()->text(), QStringLiteral("/dev/pts/7"));

        // Without a port nothing is selected.
        form.SetValues({});
        QCOMPARE(list->currentIndex(), -1);
    }

    void networkPortsAreTypedAndTheLastUsedStayListed() {
        RecordingUi ui;
        TUstawienieProgramuForm form(ui);
        form.SetPortLister([] { return std::vector<PortEntry>{{"/dev/ttyS0", "(port)"}}; });
        ProgramSettingsValues values;
        values.portName = "/dev/ttyS0";
        values.networkPorts = "tcp://serwer:4001";
        form.SetValues(values);
        form.RefreshPorts();
        QComboBox* list = form.PortList();
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->itemText(2), QStringLiteral("tcp://serwer:4001"));
        QCOMPARE(list->currentIndex(), 1);

        // A network port typed as free text is chosen and goes first in the list.
        form.PortPathEdit()->setText(QStringLiteral("rfc2217://[::1]:2217"));
        emit form.PortPathEdit()->editingFinished();
        QCOMPARE(form.Values().portName, std::string("rfc2217://[::1]:2217"));
        QCOMPARE(form.Values().networkPorts, std::string("rfc2217://[::1]:2217;tcp://serwer:4001"));
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->itemText(2), QStringLiteral("rfc2217://[::1]:2217"));
        QCOMPARE(list->currentIndex(), 2);

        // Chosen from the list, an older one comes first again.
        emit list->activated(3);
        QCOMPARE(form.Values().portName, std::string("tcp://serwer:4001"));
        QCOMPARE(form.Values().networkPorts, std::string("tcp://serwer:4001;rfc2217://[::1]:2217"));
        QCOMPARE(list->itemText(2), QStringLiteral("tcp://serwer:4001"));
        QCOMPARE(list->currentIndex(), 2);

        // A malformed name is kept as typed, as any path is, but not listed.
        form.PortPathEdit()->setText(QStringLiteral("tcp://serwer"));
        emit form.PortPathEdit()->editingFinished();
        QCOMPARE(form.Values().portName, std::string("tcp://serwer"));
        QCOMPARE(list->count(), 4);
    }

    void aSecondSearchWhileOneRunsIsRefused() {
        RecordingUi ui;
        TUstawienieProgramuForm form(ui);
        int searches = 0;
        form.SetPortLister([&] {
            if (++searches == 1) {
                form.RefreshPorts();  // as a click handled while the first search waits
            }
            return std::vector<PortEntry>{};
        });
        form.RefreshPorts();
        QCOMPARE(searches, 1);
        QCOMPARE(ui.messages.size(), size_t{1});
        QCOMPARE(ui.messages[0].text,
                 std::string("Wywołanie ponowne procedury przeszukującej porty szeregowe."));
        form.RefreshPorts();
        QCOMPARE(searches, 2);
    }

    void startWithTheSystem() {
        QTemporaryDir config;
        const std::string entry = config.filePath("autostart/serwis-kas.desktop").toStdString();
        RecordingUi ui;
        TUstawienieProgramuForm form(ui);
        form.SetAutostartPaths(entry, "/opt/serwis kas/serwis-kas");
        QPushButton* button = form.AutostartButton();
        form.show();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(LastItem(ui.messages).text, "Wpis autostartu utworzono:\n" + entry);
        QVERIFY(QFile::exists(QString::fromStdString(entry)));
        QCOMPARE(button->text(),
                 QStringLiteral("Kasowanie uruchomienia programu\npo starcie systemu."));
    }

    void fontsMenuChangesTheFontRecords() {
        RecordingUi ui;
        TUstawienieProgramuForm form(ui);
        form.SetValues({});
        QSignalSpy fonts(&form, &TUstawienieProgramuForm::fontsChanged);

        QMenu* menu = form.MenuBar()->actions().at(0)->menu();
        QFont offered;
        form.SetFontChooser([&](QFont& font) {
            offered = font;
            font = QFont(QStringLiteral("DejaVu Sans"), 14);
            font.setUnderline(true);
            return true;
        });
        // The "&Tabel" item's "&Ustawienia".
        menu->actions().at(1)->menu()->actions().at(0)->trigger();
        QCOMPARE(offered.pointSize(), 12);
        QVERIFY(offered.bold() && offered.italic());
        const FontSetting table = form.Values().fonts.table;
        QCOMPARE(table.name, std::string("DejaVu Sans"));
        QCOMPARE(table.size, 14);
        QCOMPARE(table.style, kasa::kFontUnderline);
        QCOMPARE(table.colour, 10485760);  // the colour stays
        QCOMPARE(fonts.count(), 1);

        form.SetColourChooser([](QColor& colour) {
            colour = QColor(0x12, 0x34, 0x56);
            return true;
        });
        form.ChooseColour(TUstawienieProgramuForm::FontKind::kWind);
        QCOMPARE(form.Values().fonts.wind.colour, 0x563412);
        QCOMPARE(fonts.count(), 2);

        // Cancelled dialogs change nothing.
        form.SetFontChooser([](QFont&) { return false; });
        form.ChooseFont(TUstawienieProgramuForm::FontKind::kInfo);
        QVERIFY(form.Values().fonts.info == DefaultFonts().info);
        QCOMPARE(fonts.count(), 2);
    }
};

QTEST_MAIN(ProgramSettingsFormTest)
#include "program_settings_form_test.moc"

// The fiscal memory read from the window against a virtual ZEN: the range edits, the abort
// caption, the lines in the listing window and the log file, the VESPER refusal.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "ecr/fiscal_memory.h"
#include "gui/checked_items.h"
#include "gui/editors/tlisting_form.h"
#include "gui/program_harness.h"
#include "gui/register/fiscal_memory_actions.h"

using kasa::testing::Program;
using kasa::testing::gui::LastItem;
using kasa::testing::gui::LineText;
using kasa::testing::gui::LineTextFromEnd;

namespace {

kasa::gui::FiscalMemoryActions& Actions(Program& p) {
    return *p.form->findChild<kasa::gui::FiscalMemoryActions*>(
        QStringLiteral("FiscalMemoryActions"));
}

void SetRange(Program& p, const char* first, const char* last) {
    QDialog* panel = Actions(p).Panel();
    panel->findChild<QLineEdit*>(QStringLiteral("eFiskalna1"))->setText(QString::fromLatin1(first));
    panel->findChild<QLineEdit*>(QStringLiteral("eFiskalna2"))->setText(QString::fromLatin1(last));
}

QPushButton* ReadButton(Program& p) {
    return Actions(p).Panel()->findChild<QPushButton*>(QStringLiteral("Fiskalna_odczyt_kasa"));
}

}  // namespace

class FiscalMemoryActionsTest : public QObject {
    Q_OBJECT

  private slots:
    void readsTheRangeIntoTheListingAndTheLogFile() {
        kasa::sim::VirtualRegisterOptions options;
        options.type = kasa::sim::RegisterType::Zen;
        kasa::sim::VirtualRegister reg(options);
        QVERIFY(reg.Start());
        Program p(false, "[USTAWIENIA]\r\nPortName=" + reg.PortPath() +
                             "\r\nChashPath=Zen\r\nbaudRate=115200\r\n");
        p.controller->Show();
        const std::string log = p.folder.Path("logi/pamiec.txt");
        Actions(p).SetFileChooser([&](const QString&) { return QString::fromStdString(log); });
        Actions(p).ChooseLogFile();
        Actions(p).OpenPanel();
        SetRange(p, "3000", "1");
        ReadButton(p)->click();
        QCOMPARE(LastItem(p.shown).text, std::string(kasa::kFiscalFirstRangeMessage));

        SetRange(p, "12", "8");
        ReadButton(p)->click();
        QCOMPARE(ReadButton(p)->text(), QStringLiteral("Przerwij odczyt."));
        QTRY_VERIFY_WITH_TIMEOUT(!p.controller->busy, 10000);
        QCOMPARE(ReadButton(p)->text(), QStringLiteral("Odczyt z kasy"));
        const auto& lines = p.form->FiscalListingWindow()->Lines();
        QVERIFY(p.form->FiscalListingWindow()->isVisible());
        QCOMPARE(LineText(lines, 0), std::string("(8) Zerowanie RAM."));
        QCOMPARE(LineTextFromEnd(lines, 13), std::string("(12) Raport Dobowy."));
        const std::string file = p.folder.Read("logi/pamiec.txt");
        QCOMPARE(file.substr(0, 20), std::string("(8) Zerowanie RAM.\r\n"));
        QVERIFY(file.find("(12) Raport Dobowy.\r\n") != std::string::npos);
    }

    void vesperRefusesTheRead() {
        Program p(false, "[USTAWIENIA]\r\nChashPath=Vesper\r\n");
        p.controller->Show();
        Actions(p).OpenPanel();
        QVERIFY(!Actions(p).Panel()->isVisible());
        QCOMPARE(LastItem(p.shown).text, std::string(kasa::kFiscalVesperMessage));
    }
};

QTEST_MAIN(FiscalMemoryActionsTest)
#include "fiscal_memory_actions_test.moc"

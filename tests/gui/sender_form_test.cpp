// The file sender against a virtual register: a double click sends the chosen file even
// when no session has opened the port yet, and deleting asks first.
#include <QListWidget>
#include <QtTest>

#include "gui/program_harness.h"
#include "gui/tsender_form.h"
#include "sim/virtual_register.h"

using kasa::gui::TSenderForm;
using kasa::testing::Program;

class SenderFormTest : public QObject {
    Q_OBJECT

  private slots:
    void doubleClickSendsTheFileAndDeleteAsksFirst() {
        kasa::sim::VirtualRegisterOptions options;
        options.baudRate = 0;
        kasa::sim::VirtualRegister reg(options);
        QVERIFY(reg.Start());
        kasa::testing::ScratchFolder files;
        files.Write("b.bin", kasa::sim::FramePayload("0;0;7H"));
        files.Write("a.bin", "");
        const std::string config =
            "[USTAWIENIA]\r\nPortName=" + reg.PortPath() +
            "\r\nChashPath=Vesper\r\nbaudRate=115200\r\nSenderFile=" + files.Path("b.bin") + "\r\n";
        Program p(false, config);
        auto* sender = p.form->findChild<TSenderForm*>();
        QVERIFY(sender != nullptr);
        sender->ShowWindow();
        QListWidget* list = sender->List();
        QCOMPARE(list->count(), 2);

        list->setCurrentRow(0);  // the empty file
        sender->ListDblClick();
        list->setCurrentRow(1);
        sender->ListDblClick();
        const std::vector<std::string> payloads = reg.ReceivedPayloads();
        QCOMPARE(payloads, (std::vector<std::string>{"0;0;7H"}));
        QCOMPARE(p.shown.size(), size_t{1});
        QCOMPARE(p.shown[0].text, std::string("Podany plik jest pusty lub brak pliku."));

        p.answer = kasa::Answer::Cancel;
        sender->Kasuj();
        QVERIFY(files.Exists("b.bin"));
        p.answer = kasa::Answer::Ok;
        sender->Kasuj();
        QVERIFY(!files.Exists("b.bin"));
        QCOMPARE(list->count(), 1);
        QCOMPARE(p.shown.back().text,
                 std::string("Chcesz skasować plik o nazwie:\nb.bin\nKontynuować?"));
    }
};

QTEST_MAIN(SenderFormTest)
#include "sender_form_test.moc"
